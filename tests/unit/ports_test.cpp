#include "config/ports.h"

#include <gtest/gtest.h>

#include "fakes/fake_controls.h"
#include "fakes/fake_spooler.h"

namespace vellum::config {

TEST(Ports, OnlyRedMonPortsAreListedTrimmedInSpoolerOrder) {
    FakeSpooler spooler;
    spooler.ports = {
        {"LPT1:", "Local Port", "Local Port"},
        {"  RPT2:  ", "Redirected Port", "RedMon"},
        {"RPT1:", " Redirected Port ", "RedMon"},
        {"RPT3:", "redirected port", "RedMon"},
        {"RPT4:", "Redirected  Port", "RedMon"},
        {"RPT5:", "\tRedirected Port", "RedMon"},
        {"RPT6:", "", "RedMon", true},
    };
    FakeComboBox list;
    list.items = {"stale"};
    FillPortList(spooler, list);
    EXPECT_EQ(list.items, (std::vector<std::string>{"RPT2:", "RPT1:"}));
    EXPECT_EQ(list.clears, 1);
    EXPECT_EQ(spooler.allocations, spooler.frees) << "the answer's buffer is given back";
    EXPECT_EQ(PortTable[6].monitorName, "") << "a null text address is the empty text";
    EXPECT_EQ(PortTable[0].description, "Local Port");
    EXPECT_EQ(PortTable[0].portType, 1u);
}

TEST(Ports, LargeMachinesListEveryPort) {
    for (int count : {101, 102, 150}) {
        FakeSpooler spooler;
        for (int i = 0; i < count; ++i) spooler.AddRedMon("RPT" + std::to_string(i) + ":");
        FakeComboBox list;
        FillPortList(spooler, list);
        ASSERT_EQ(list.items.size(), static_cast<size_t>(count));
        EXPECT_EQ(list.items.back(), "RPT" + std::to_string(count - 1) + ":");
    }
}

TEST(Ports, UnreachableSpoolerGivesAnEmptyListSilently) {
    FakeSpooler spooler;
    spooler.AddRedMon("RPT1:");
    spooler.unreachable = true;
    FakeComboBox list;
    list.items = {"stale"};
    FillPortList(spooler, list);
    EXPECT_TRUE(list.items.empty());
    EXPECT_EQ(EnumeratePorts(spooler, ""), 0);
}

TEST(Ports, NoPortsAtAllIsAnEmptyList) {
    FakeSpooler spooler;
    FakeComboBox list;
    FillPortList(spooler, list);
    EXPECT_TRUE(list.items.empty());
    EXPECT_EQ(spooler.allocations, spooler.frees);
}

TEST(Ports, TrimAtNullAndStringFromPointer) {
    EXPECT_EQ(TrimAtNull(std::string("abc\0def", 7)), "abc");
    EXPECT_EQ(TrimAtNull("abc"), "abc");
    EXPECT_EQ(TrimAtNull(std::string("\0abc", 4)), "");
    EXPECT_EQ(TrimAtNull(""), "");

    FakeSpooler spooler;
    const char name[] = "RPT1:";
    const char empty[] = "";
    EXPECT_EQ(StringFromPointer(spooler, name), "RPT1:");
    EXPECT_EQ(StringFromPointer(spooler, empty), "");
    EXPECT_EQ(StringFromPointer(spooler, nullptr), "");
}

}  // namespace vellum::config
