#include "convert/convert.h"

#include <gtest/gtest.h>

#include "convert/ghostscript_command.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_msg_box.h"
#include "fakes/fake_startup.h"
#include "settings/settings.h"

namespace vellum::convert {

TEST(GhostscriptCommand, QuotesEveryPathByTheWindowsRules) {
    const settings::SettingsRecord s{R"(C:\Program Files\gs\bin\gswin64c.exe)",
                                     R"(C:\Program Files\gs\fonts)", R"(C:\Program Files\gs\lib)",
                                     "0", ""};
    EXPECT_EQ(
        GhostscriptCommandLine(s, R"(D:\My PDFs\report.pdf)", R"(C:\spool\job 12.ps)"),
        R"("C:\Program Files\gs\bin\gswin64c.exe" -I"C:\Program Files\gs\lib;C:\Program Files\gs\fonts")"
        R"( -sDEVICE=pdfwrite -r300 -q -dBATCH -dNOPAUSE -dSAFER -sPAPERSIZE=a4)"
        R"( -sOutputFile="D:\My PDFs\report.pdf" -c save pop -f "C:\spool\job 12.ps")");
}

TEST(GhostscriptCommand, EmptyFontsEndsTheListWithASemicolon) {
    const settings::SettingsRecord s{"gs.exe", "", R"(C:\gs\lib)", "", ""};
    const std::string line = GhostscriptCommandLine(s, "a.pdf", "b.ps");
    EXPECT_NE(line.find(R"( -I"C:\gs\lib;" )"), std::string::npos) << line;
}

TEST(GhostscriptCommand, TrailingBackslashesAreDoubledBeforeTheClosingQuote) {
    EXPECT_EQ(Quoted(R"(C:\gs\fonts\)"), R"("C:\gs\fonts\\")");
    EXPECT_EQ(Quoted(R"(C:\)"), R"("C:\\")");
    // Backslashes inside a path stay single: they precede no quote.
    EXPECT_EQ(Quoted(R"(C:\a\b)"), R"("C:\a\b")");
    EXPECT_EQ(Quoted(R"(say "hi"\)"), R"("say \"hi\"\\")");
    // Before an embedded quote each backslash is doubled and the quote escaped.
    EXPECT_EQ(Quoted(R"(a\"b)"), R"("a\\\"b")");
    EXPECT_EQ(Quoted(R"(a\\"b)"), R"("a\\\\\"b")");
    EXPECT_EQ(Quoted(""), R"("")");
}

class ConvertTest : public ::testing::Test {
protected:
    bool Convert() { return ConvertToPdf(runner, files, box, settings, pdf, R"(C:\spool\job.ps)"); }

    settings::SettingsRecord settings{R"(C:\gs\gswin64c.exe)", "", R"(C:\gs\lib)", "0", ""};

    FakeProcessRunner runner;
    FakeFileSystem files;
    FakeMsgBox box;
    const std::string pdf = R"(C:\PDF\out.pdf)";
};

TEST_F(ConvertTest, SucceedsSilentlyOnlyWithExitZeroAndThePdf) {
    files.files.insert(pdf);
    EXPECT_TRUE(Convert());
    EXPECT_TRUE(box.shown.empty());
    ASSERT_EQ(runner.showWindows.size(), 1u);
    EXPECT_EQ(runner.showWindows[0], kSwHide);
}

TEST_F(ConvertTest, ProcessThatCannotStartIsReportedWithTheSystemsReason) {
    runner.result = {false, 0, "", "The system cannot find the file specified."};
    EXPECT_FALSE(Convert());
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text,
              "Ghostscript could not be started.\r\nC:\\gs\\gswin64c.exe\r\n"
              "The system cannot find the file specified.");
    EXPECT_EQ(box.shown[0].title, "Error!");
    EXPECT_EQ(box.shown[0].icon, toolkit::Icon::Error);
}

TEST_F(ConvertTest, FailedRunShowsExitCodeAndTheEndOfGhostscriptsOutput) {
    files.files.insert(pdf);  // a failed job can leave a broken PDF behind
    runner.result = {true, 1,
                     "Error: /syntaxerror in (bad)\nOperand stack:\n\n"
                     "GPL Ghostscript 10.00.0: Unrecoverable error, exit code 1\n",
                     ""};
    EXPECT_FALSE(Convert());
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text,
              "Ghostscript could not convert the print job (exit code 1).\r\n\r\n"
              "Error: /syntaxerror in (bad)\r\nOperand stack:\r\n\r\n"
              "GPL Ghostscript 10.00.0: Unrecoverable error, exit code 1");
}

TEST_F(ConvertTest, ExitZeroWithoutAPdfIsAFailureToo) {
    EXPECT_FALSE(Convert());
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text, "Ghostscript could not convert the print job (exit code 0).");
}

TEST(OutputTail, KeepsTheLastLinesWithinBothLimits) {
    std::string output;
    for (int i = 1; i <= 50; ++i) output += "line " + std::to_string(i) + "\r\n";
    const std::string tail = OutputTail(output);
    EXPECT_EQ(tail.rfind("line 31\r\n", 0), 0u) << tail;
    EXPECT_EQ(tail.substr(tail.size() - 7), "line 50");

    const std::string longLine(5000, 'x');
    const std::string cut = OutputTail("first\n" + longLine + "\n");
    EXPECT_LE(cut.size(), 2000u);
    EXPECT_EQ(cut.rfind("...", 0), 0u);
    EXPECT_EQ(OutputTail(""), "");
}

TEST(OutputTail, TrailingBlankLinesAreNoPartOfTheTail) {
    EXPECT_EQ(OutputTail("Error: /syntaxerror\r\nUnrecoverable error\r\n\r\n  \n\n"),
              "Error: /syntaxerror\r\nUnrecoverable error");
    // They would otherwise use up the line budget: 20 lines of text before 30 blank ones.
    std::string output;
    for (int i = 1; i <= 20; ++i) output += "line " + std::to_string(i) + "\n";
    output += std::string(30, '\n');
    EXPECT_EQ(OutputTail(output).rfind("line 1\r\n", 0), 0u);
}

}  // namespace vellum::convert
