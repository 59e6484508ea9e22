#include "startup/command_line.h"

#include <gtest/gtest.h>

namespace vellum::startup {

TEST(CommandLine, TailFollowsTheProgramNameQuotedOrAsOneOfItsOwnPaths) {
    // As RedRun and other parents start a program on Windows: the line exactly as written.
    const std::vector<std::string> own{R"(C:\Program Files\Vellum\vellum.exe)",
                                       R"(C:\PROGRA~1\Vellum\vellum.exe)"};
    const struct {
        const char* line;
        bool knowsOwn;
        const char* tail;
    } rows[] = {
        {R"("C:\Program Files\Vellum\vellum.exe" "C:\spool\job 12.ps")", false,
         R"("C:\spool\job 12.ps")"},
        {R"(C:\Vellum\vellum.exe   -config)", false, "-config"},
        {R"("C:\Vellum\vellum.exe")", false, ""},
        {"vellum.exe", false, ""},
        {"vellum.exe\t\t-mail", false, "-mail"},           // a tab ends the name too
        {"\"C:\\a b\\vellum.exe\"-mail", false, "-mail"},  // at the closing quote
        {R"(C:\Program Files\Vellum\vellum.exe "C:\t\reda0051")", true, R"("C:\t\reda0051")"},
        {R"(c:\program files\vellum\VELLUM.EXE -config)", true, "-config"},
        {R"(C:\PROGRA~1\Vellum\vellum.exe -mail)", true, "-mail"},
        {R"(C:\Program Files\Vellum\vellum.exe)", true, ""},
        // Only the whole path counts, not a longer name that starts with it.
        {R"(C:\Program Files\Vellum\vellum.exe2 -mail)", true, R"(Files\Vellum\vellum.exe2 -mail)"},
        // Without its own path the program can only cut at the first blank.
        {R"(C:\Program Files\Vellum\vellum.exe -mail)", false, R"(Files\Vellum\vellum.exe -mail)"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.knowsOwn ? CommandTail(row.line, own) : CommandTail(row.line), row.tail)
            << row.line;
}

TEST(CommandLine, JobPathLosesEveryQuoteAndIsTrimmedAfterwards) {
    EXPECT_EQ(StripQuotes(R"(a"b"c)"), "abc");
    for (const auto& [tail, path] : std::vector<std::pair<std::string, std::string>>{
             {R"("C:\spool\job 12.ps")", R"(C:\spool\job 12.ps)"},
             {R"("" "C:\t\reda0051")", R"(C:\t\reda0051)"},  // a port bound by an earlier version
             {"\t C:\\job.ps \t", "C:\\job.ps"},
             {"\"\"", ""}})
        EXPECT_EQ(JobPathOf(tail), path) << tail;
}

TEST(CommandLine, ModeWordsAreWholeWordsInAnyCase) {
    for (const auto& [tail, mode] : std::vector<std::pair<std::string, Mode>>{
             {"", Mode::Configure},
             {"-config", Mode::Configure},
             {"\"-config\"", Mode::Configure},
             {"-mail", Mode::Mail},
             {"-CONFIG", Mode::Configure},
             {"\"-Config\"", Mode::Configure},
             {"-Mail", Mode::Mail},
             {"-configure", Mode::Convert},
             {" -config", Mode::Convert},
             {R"("C:\spool\job 12.ps")", Mode::Convert},
             {"\"\"", Mode::Convert}})  // only quotes: a convert with an empty job path
        EXPECT_EQ(ChooseMode(tail), mode) << tail;
}

}  // namespace vellum::startup
