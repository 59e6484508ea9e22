#include "startup/command_line.h"

#include <gtest/gtest.h>

namespace vellum::startup {

TEST(CommandLine, TailFollowsTheProgramNameQuotedOrNot) {
    EXPECT_EQ(CommandTail(R"("C:\Program Files\Vellum\vellum.exe" "C:\spool\job 12.ps")"),
              R"("C:\spool\job 12.ps")");
    EXPECT_EQ(CommandTail(R"(C:\Vellum\vellum.exe   -config)"), "-config");
    EXPECT_EQ(CommandTail(R"("C:\Vellum\vellum.exe")"), "");
    EXPECT_EQ(CommandTail("vellum.exe"), "");
}

TEST(CommandLine, JobPathLosesEveryQuoteButStaysWhole) {
    EXPECT_EQ(StripQuotes(R"("C:\spool\job 12.ps")"), R"(C:\spool\job 12.ps)");
    EXPECT_EQ(StripQuotes(R"(a"b"c)"), "abc");
    EXPECT_EQ(StripQuotes(R"("")"), "");
}

TEST(CommandLine, ModeWordsAreExactAndCaseSensitive) {
    EXPECT_EQ(ChooseMode(""), Mode::Configure);
    EXPECT_EQ(ChooseMode("-config"), Mode::Configure);
    EXPECT_EQ(ChooseMode("\"-config\""), Mode::Configure);
    EXPECT_EQ(ChooseMode("-mail"), Mode::Mail);
    EXPECT_EQ(ChooseMode("-CONFIG"), Mode::Convert);
    EXPECT_EQ(ChooseMode("-Mail"), Mode::Convert);
    EXPECT_EQ(ChooseMode(" -config"), Mode::Convert);
    EXPECT_EQ(ChooseMode(R"("C:\spool\job 12.ps")"), Mode::Convert);
}

TEST(CommandLine, OnlyQuotesSelectConvertWithAnEmptyJobPath) {
    EXPECT_EQ(ChooseMode("\"\""), Mode::Convert);
    EXPECT_EQ(StripQuotes("\"\""), "");
}

}  // namespace vellum::startup
