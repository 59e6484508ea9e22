#include "startup/command_line.h"

#include <gtest/gtest.h>

namespace vellum::startup {

TEST(CommandLine, TailFollowsTheProgramNameQuotedOrNot) {
    EXPECT_EQ(CommandTail(R"("C:\Program Files\Vellum\vellum.exe" "C:\spool\job 12.ps")"),
              R"("C:\spool\job 12.ps")");
    EXPECT_EQ(CommandTail(R"(C:\Vellum\vellum.exe   -config)"), "-config");
    EXPECT_EQ(CommandTail(R"("C:\Vellum\vellum.exe")"), "");
    EXPECT_EQ(CommandTail("vellum.exe"), "");
    EXPECT_EQ(CommandTail("vellum.exe\t\t-mail"), "-mail") << "a tab ends the name too";
    EXPECT_EQ(CommandTail("\"C:\\a b\\vellum.exe\"-mail"), "-mail")
        << "a quoted name ends at its closing quote";
}

TEST(CommandLine, AnUnquotedPathWithBlanksIsRecognisedAsTheProgramItself) {
    // As RedRun and other parents start a program on Windows: the line exactly as written.
    const std::vector<std::string> own{R"(C:\Program Files\Vellum\vellum.exe)",
                                       R"(C:\PROGRA~1\Vellum\vellum.exe)"};
    EXPECT_EQ(CommandTail(R"(C:\Program Files\Vellum\vellum.exe "C:\t\reda0051")", own),
              R"("C:\t\reda0051")");
    EXPECT_EQ(CommandTail(R"(c:\program files\vellum\VELLUM.EXE -config)", own), "-config");
    EXPECT_EQ(CommandTail(R"(C:\PROGRA~1\Vellum\vellum.exe -mail)", own), "-mail");
    EXPECT_EQ(CommandTail(R"(C:\Program Files\Vellum\vellum.exe)", own), "");
    EXPECT_EQ(CommandTail(R"(C:\Program Files\Vellum\vellum.exe2 -mail)", own),
              R"(Files\Vellum\vellum.exe2 -mail)")
        << "only the whole path counts, not a longer name that starts with it";
    EXPECT_EQ(CommandTail(R"(C:\Program Files\Vellum\vellum.exe -mail)"),
              R"(Files\Vellum\vellum.exe -mail)")
        << "without its own path the program can only cut at the first blank";
}

TEST(CommandLine, JobPathLosesEveryQuoteButStaysWhole) {
    EXPECT_EQ(StripQuotes(R"("C:\spool\job 12.ps")"), R"(C:\spool\job 12.ps)");
    EXPECT_EQ(StripQuotes(R"(a"b"c)"), "abc");
    EXPECT_EQ(StripQuotes(R"("")"), "");
}

TEST(CommandLine, JobPathIsTrimmedAfterItsQuotesAreGone) {
    EXPECT_EQ(JobPathOf(R"("C:\spool\job 12.ps")"), R"(C:\spool\job 12.ps)");
    EXPECT_EQ(JobPathOf(R"("" "C:\t\reda0051")"), R"(C:\t\reda0051)")
        << "RedRun's line from a port bound by an earlier version";
    EXPECT_EQ(JobPathOf("\t C:\\job.ps \t"), "C:\\job.ps");
    EXPECT_EQ(JobPathOf("\"\""), "");
}

TEST(CommandLine, ModeWordsAreWholeWordsInAnyCase) {
    EXPECT_EQ(ChooseMode(""), Mode::Configure);
    EXPECT_EQ(ChooseMode("-config"), Mode::Configure);
    EXPECT_EQ(ChooseMode("\"-config\""), Mode::Configure);
    EXPECT_EQ(ChooseMode("-mail"), Mode::Mail);
    EXPECT_EQ(ChooseMode("-CONFIG"), Mode::Configure);
    EXPECT_EQ(ChooseMode("\"-Config\""), Mode::Configure);
    EXPECT_EQ(ChooseMode("-Mail"), Mode::Mail);
    EXPECT_EQ(ChooseMode("-configure"), Mode::Convert);
    EXPECT_EQ(ChooseMode(" -config"), Mode::Convert);
    EXPECT_EQ(ChooseMode(R"("C:\spool\job 12.ps")"), Mode::Convert);
}

TEST(CommandLine, OnlyQuotesSelectConvertWithAnEmptyJobPath) {
    EXPECT_EQ(ChooseMode("\"\""), Mode::Convert);
    EXPECT_EQ(StripQuotes("\"\""), "");
}

}  // namespace vellum::startup
