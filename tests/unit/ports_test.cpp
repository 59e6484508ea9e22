#include "config/ports.h"

#include <gtest/gtest.h>

#include "fakes/fake_controls.h"
#include "fakes/fake_spooler.h"

namespace vellum::config {

TEST(Ports, OnlyRedMonPortsAreListedTrimmedInSpoolerOrder) {
    FakeSpooler spooler;
    spooler.ports = {
        {"LPT1:", "Local Port", "Local Port", 1},
        {"  RPT2:  ", "Redirected Port", "RedMon", 3},
        {"RPT1:", " Redirected Port ", "RedMon", 3},
        {"RPT3:", "redirected port", "RedMon", 3},
        {"RPT4:", "Redirected  Port", "RedMon", 3},
        {"RPT5:", "\tRedirected Port", "RedMon", 3},
        {"RPT6:", "", "RedMon", 3},
        {std::string("RPT7:\0junk", 10), std::string("Redirected Port\0x", 17), "RedMon", 3},
    };
    FakeComboBox list;
    list.items = {"stale"};
    FillPortList(spooler, list);
    EXPECT_EQ(list.items, (std::vector<std::string>{"RPT2:", "RPT1:", "RPT7:"}));
    EXPECT_EQ(list.clears, 1);
    EXPECT_EQ(PortTable[0].description, "Local Port");
    EXPECT_EQ(PortTable[0].portType, 1u);
    EXPECT_EQ(PortTable[7].portName, "RPT7:") << "texts end at their first NUL";
}

TEST(Ports, LargeMachinesListEveryPort) {
    for (int count : {101, 102, 1000}) {
        FakeSpooler spooler;
        for (int i = 0; i < count; ++i) spooler.AddRedMon("RPT" + std::to_string(i) + ":");
        FakeComboBox list;
        FillPortList(spooler, list);
        ASSERT_EQ(list.items.size(), static_cast<size_t>(count));
        EXPECT_EQ(list.items.back(), "RPT" + std::to_string(count - 1) + ":");
    }
}

TEST(Ports, AnUnreachableSpoolerOrNoPortsAtAllGiveAnEmptyListSilently) {
    for (bool unreachable : {true, false}) {
        FakeSpooler spooler;
        if (unreachable) spooler.AddRedMon("RPT1:");
        spooler.unreachable = unreachable;
        FakeComboBox list;
        list.items = {"stale"};
        FillPortList(spooler, list);
        EXPECT_TRUE(list.items.empty());
        EXPECT_EQ(EnumeratePorts(spooler, ""), 0);
    }
}

TEST(Ports, EveryListingAsksTheSpoolerAgainAndShrinksWithIt) {
    FakeSpooler spooler;
    spooler.AddRedMon("RPT1:");
    spooler.AddRedMon("RPT2:");
    FakeComboBox list;
    FillPortList(spooler, list);
    spooler.ports.pop_back();
    FillPortList(spooler, list);
    EXPECT_EQ(spooler.queries, 2);
    EXPECT_EQ(list.items, (std::vector<std::string>{"RPT1:"}));
}

TEST(Ports, TrimAtNull) {
    for (const auto& [text, trimmed] :
         std::vector<std::pair<std::string, std::string>>{{std::string("abc\0def", 7), "abc"},
                                                          {"abc", "abc"},
                                                          {std::string("\0abc", 4), ""},
                                                          {"", ""}})
        EXPECT_EQ(TrimAtNull(text), trimmed);
}

}  // namespace vellum::config
