// The command lines RedMon and RedRun start, as measured against the real ones: the stand-ins
// must break a wrongly bound port exactly where the real chain breaks it.

#include "redirection_rules.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace vellum::testbed {
namespace {

enum class Rule { RedMon, RedRunTail, RedRun };

struct Case {
    const char* what;
    Rule rule;
    std::wstring input;  // RedMon: the port's Arguments; RedRun: its tail; tail: its line
    std::wstring expected;
};

constexpr const wchar_t* kCommand = L"C:\\redmon\\redrun.exe";
constexpr const wchar_t* kJob = L"c:\\users\\ann\\temp\\reda00512";

const JobFacts kFacts = {L"", L"C:\\Docs\\Q3 <draft>.report.txt", L"corp\\ann", 0xFFFFFFFF};

std::wstring Apply(const Case& c) {
    switch (c.rule) {
        case Rule::RedMon:
            return RedMonCommandLine(kCommand, c.input, kFacts);
        case Rule::RedRunTail:
            return RedRunTail(c.input);
        case Rule::RedRun:
            return RedRunCommandLine(c.input, kJob);
    }
    return {};
}

std::wstring RedMonLine(const std::wstring& arguments) {
    return L"\"" + std::wstring(kCommand) + L"\" " + arguments;
}

TEST(RedirectionRules, CommandLinesAsRedMonAndRedRunMakeThem) {
    const std::wstring job = std::wstring(L"\"") + kJob + L"\"";
    const Case cases[] = {
        // RedMon: %1 is the prompted file name, empty when the port's program handles output.
        {"old binding loses %1", Rule::RedMon, L"C:\\Program Files\\Vellum\\vellum.exe \"%1\"",
         RedMonLine(L"C:\\Program Files\\Vellum\\vellum.exe \"\"")},
        {"%%1 leaves %1 for RedRun", Rule::RedMon, L"\"C:\\Vellum\\vellum.exe\" %%1",
         RedMonLine(L"\"C:\\Vellum\\vellum.exe\" %1")},
        {"no arguments still end in a blank", Rule::RedMon, L"", RedMonLine(L"")},
        {"document, base name, user, pipe", Rule::RedMon, L"%d|%b|%u|%h",
         RedMonLine(L"CDocsQ3 draft.report.txt|Q3 draft|corpann|ffffffff")},
        {"other % and a last % stay", Rule::RedMon, L"%x %2 100%", RedMonLine(L"%x %2 100%")},
        {"%%% is % then %", Rule::RedMon, L"%%%d", RedMonLine(L"%CDocsQ3 draft.report.txt")},
        // RedRun: its own name ends at a blank outside quotes; only blanks separate.
        {"quoted name", Rule::RedRunTail, L"\"C:\\red mon\\redrun.exe\"  a  b", L"a  b"},
        {"quote inside the name", Rule::RedRunTail, L"C:\\\"red mon\"\\redrun.exe x", L"x"},
        {"a tab does not end the name", Rule::RedRunTail, L"redrun.exe\tx y", L"y"},
        {"nothing after the name", Rule::RedRunTail, L"redrun.exe", L""},
        // RedRun: only an argument that is exactly %1 becomes the job file.
        {"%1 replaced, quoted", Rule::RedRun, L"\"C:\\Vellum\\vellum.exe\" %1",
         L"\"C:\\Vellum\\vellum.exe\" " + job},
        {"every %1", Rule::RedRun, L"cmp %1  %1", L"cmp " + job + L"  " + job},
        {"\"%1\" is not %1", Rule::RedRun, L"vellum.exe \"%1\"", L"vellum.exe \"%1\" " + job},
        {"old binding after RedMon", Rule::RedRun, L"C:\\Program Files\\Vellum\\vellum.exe \"\"",
         L"C:\\Program Files\\Vellum\\vellum.exe \"\" " + job},
        {"%1 inside an argument stays", Rule::RedRun, L"x -f%1 %1x", L"x -f%1 %1x " + job},
        {"quoted blanks belong to one argument", Rule::RedRun, L"\"a %1 b\" %1",
         L"\"a %1 b\" " + job},
        {"unclosed quote runs to the end", Rule::RedRun, L"x \"%1 y", L"x \"%1 y " + job},
    };
    for (const Case& c : cases) EXPECT_EQ(Apply(c), c.expected) << c.what;

    // The line stops at 1023 characters; a replacement that would reach the limit is not made.
    const std::wstring head = RedMonLine(L"");
    const std::wstring filler(kRedMonLineLimit - head.size() - 3, L'x');
    EXPECT_EQ(RedMonCommandLine(kCommand, filler + L"%u and more", kFacts), head + filler + L"%u ");
    EXPECT_EQ(RedMonCommandLine(kCommand, filler + L"%1%%", kFacts), head + filler + L"%");
    EXPECT_EQ(RedMonCommandLine(kCommand, std::wstring(2000, L'y'), kFacts).size(),
              kRedMonLineLimit);
}

// The program CreateProcess picks for a line, with a fake file system that knows a few files.
TEST(RedirectionRules, ProgramFoundAsCreateProcessFindsIt) {
    std::set<std::wstring> files = {L"C:\\Program Files\\Vellum\\vellum.exe",
                                    L"C:\\Windows\\system32\\cmd.exe", L"C:\\tools\\x y.exe"};
    const FindProgram find = [&](const std::wstring& name) -> std::wstring {
        const std::wstring onPath = L"C:\\Windows\\system32\\" + name;
        for (const std::wstring& candidate : {name, name + L".exe", onPath, onPath + L".exe"})
            if (files.count(candidate) != 0) return candidate;
        return {};
    };
    struct ProgramCase {
        const char* what;
        std::wstring line;
        std::wstring expected;
    };
    const ProgramCase cases[] = {
        {"quoted path", L"\"C:\\Program Files\\Vellum\\vellum.exe\" %1",
         L"C:\\Program Files\\Vellum\\vellum.exe"},
        {"unquoted path with blanks", L"C:\\Program Files\\Vellum\\vellum.exe \"\" \"c:\\j\"",
         L"C:\\Program Files\\Vellum\\vellum.exe"},
        {"the whole line", L"C:\\Program Files\\Vellum\\vellum.exe",
         L"C:\\Program Files\\Vellum\\vellum.exe"},
        {".exe appended, a tab separates", L"C:\\tools\\x y\t-a", L"C:\\tools\\x y.exe"},
        {"found on the search path", L"cmd /c exit 7", L"C:\\Windows\\system32\\cmd.exe"},
        {"doubled blanks", L"cmd  /c", L"C:\\Windows\\system32\\cmd.exe"},
        {"unclosed quote", L"\"C:\\tools\\x y.exe", L"C:\\tools\\x y.exe"},
        {"nothing named", L"C:\\nowhere\\x.exe a", L""},
        {"a leading blank names nothing", L" cmd", L""},
        {"quoted name not found", L"\"C:\\Program Files\\Vellum\" x", L""},
    };
    for (const ProgramCase& c : cases)
        EXPECT_EQ(ProgramOfCommandLine(c.line, find), c.expected) << c.what;

    // The shortest prefix wins: C:\Program.exe runs instead of the program meant.
    files.insert(L"C:\\Program.exe");
    EXPECT_EQ(ProgramOfCommandLine(L"C:\\Program Files\\Vellum\\vellum.exe %1", find),
              L"C:\\Program.exe");
}

}  // namespace
}  // namespace vellum::testbed
