// vellum.exe installed under Program Files and started the way Windows starts a program: with
// the command line exactly as its parent wrote it. RedRun writes the program's path unquoted
// although it has a blank, and so may a shortcut or the Run box; Wine's own process start would
// have quoted it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "config/config_ids.h"
#include "e2e_support.h"
#include "mail/send_mail_ids.h"
#include "toolkit/win32/strings.h"

namespace vellum::e2e {

namespace {

class InstalledStartTest : public ::testing::Test {
protected:
    void SetUp() override { WriteCompleteSettings(pdfs.Path()); }
    void TearDown() override { VellumRegistry::Reset(); }

    TempFolder pdfs{"vellum installed pdfs"};
    TempFolder jobs{"vellum installed spool"};
    InstalledVellum installed;
};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The 8.3 form of an existing path, or the path itself where the system has none.
std::string ShortPath(const std::string& path) {
    wchar_t buffer[MAX_PATH * 4];
    const DWORD length = GetShortPathNameW(win32::Widen(path).c_str(), buffer, MAX_PATH * 4);
    return length == 0 || length >= MAX_PATH * 4 ? path : win32::Narrow(buffer, length);
}

}  // namespace

TEST_F(InstalledStartTest, ConfigureModeOpensItsWindowHoweverTheProgramPathIsWritten) {
    std::vector<std::string> lines = {
        installed.Exe() + " -config", installed.Exe(),
        Lower(installed.Folder()) + "\\VELLUM.EXE -config",  // file names know no case
        "\"" + installed.Exe() + "\" -config",               // as Explorer writes it
    };
    const std::string shortFolder = ShortPath(installed.Folder());
    if (shortFolder != installed.Folder()) lines.push_back(shortFolder + "\\vellum.exe -config");
    for (const std::string& line : lines) {
        SCOPED_TRACE("command line: " + line);
        Process vellum = installed.Start(line);
        const HWND window = WaitForWindow(vellum, "Configure Vellum");
        EXPECT_EQ(Text(Control(window, config::ids::kGsDir)), SiblingPath("gswin64c.exe"));
        Click(Control(window, config::ids::kCancel));
        EXPECT_TRUE(vellum.WaitExit(10s)) << DescribeWindows(vellum);
    }
}

TEST_F(InstalledStartTest, MailModeOpensTheSendMailWindowOnTheDefaultFolder) {
    WriteTextFile(pdfs.File("report.pdf"), "%PDF-1.4\n");
    Process vellum = installed.Start(installed.Exe() + " -mail");
    const HWND window = WaitForWindow(vellum, "Send PDF by eMail");
    EXPECT_EQ(ListBoxItems(Control(window, mail::ids::kFiles)),
              std::vector<std::string>{"report.pdf"});
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(vellum.WaitExit(10s)) << DescribeWindows(vellum);
}

TEST_F(InstalledStartTest, JobStartedTheWayRedRunStartsItBecomesThePdf) {
    CopyFileTo(SiblingPath("jobs\\sample.ps"), jobs.File("job 12.ps"));
    const std::string job = "\"" + jobs.File("job 12.ps") + "\"";
    struct Case {
        const char* pdf;
        std::string line;
    };
    const Case cases[] = {
        // RedRun's start of a port whose Arguments hold the program's path unquoted.
        {"unquoted program.pdf", installed.Exe() + " " + job},
        // The same from a port bound by an earlier version: RedMon put its (empty) prompted
        // file name where "%1" stood, and RedRun appended the job.
        {"empty file name first.pdf", installed.Exe() + " \"\" " + job},
        // The binding written now: the program's path quoted, RedRun's %1 replaced by the job.
        {"quoted program.pdf", "\"" + installed.Exe() + "\" " + job},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("command line: " + c.line);
        Process vellum = installed.Start(c.line);
        AnswerSaveAs(vellum, pdfs.File(c.pdf));
        EXPECT_EQ(WaitForSilentExit(vellum, kConvertTimeout), 0u);
        ASSERT_TRUE(FileExists(pdfs.File(c.pdf)));
        const std::string text = PdfText(pdfs.File(c.pdf));
        for (const char* words : {"Vellum sample page 1 of 3", "Quillwort"})
            EXPECT_NE(text.find(words), std::string::npos) << words << " in:\n" << text;
    }
}

}  // namespace vellum::e2e
