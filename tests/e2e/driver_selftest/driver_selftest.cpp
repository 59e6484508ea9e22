// Proves the UI driver against a small window of its own before the end-to-end tests rely on it.

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <sstream>

#include "driver/driver.h"
#include "driver_selftest/target_ids.h"
#include "toolkit/win32/strings.h"

namespace vellum::e2e {
namespace {

namespace t = target;

std::string Quote(const std::string& text) {
    return "\"" + text + "\"";
}

class DriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        static int counter = 0;
        // A space in the folder: paths with spaces are what file dialogs get wrong.
        dir_ = win32::Narrow(temp) + "vellum driver " + std::to_string(GetCurrentProcessId()) +
               "-" + std::to_string(++counter);
        ASSERT_TRUE(CreateDirectoryW(win32::Widen(dir_).c_str(), nullptr)) << dir_;
        result_ = dir_ + "\\result.txt";
        process_.emplace(
            Process::Start(SiblingPath("driver_target.exe"), Quote(result_) + " " + Quote(dir_)));
        window_ = WaitForWindow(*process_, t::kTitle);
    }

    void TearDown() override {
        process_.reset();
        for (const char* name : {"\\result.txt", "\\input.txt", "\\existing.pdf"}) {
            DeleteFileW(win32::Widen(dir_ + name).c_str());
        }
        RemoveDirectoryW(win32::Widen(dir_).c_str());
    }

    std::string Result() const {
        std::ifstream in(result_, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::string Status() const { return Text(Control(window_, t::kStatus)); }

    std::string dir_;
    std::string result_;
    std::optional<Process> process_;
    HWND window_ = nullptr;
};

TEST_F(DriverTest, FindsTheWindowPastHiddenHelpersAndReadsAndWritesEdits) {
    // The target keeps a hidden window in front of its main one: only the diagnostics list it.
    const std::string described = DescribeWindows(*process_);
    EXPECT_LT(described.find("\"Hidden Helper\" (DriverTargetHelper) hidden"),
              described.find("\"Driver Target\" (VellumDriverTarget)"))
        << described;
    const auto windows = TopWindows(*process_);
    ASSERT_EQ(windows.size(), 1u) << described;
    EXPECT_EQ(windows.front().title, t::kTitle);
    EXPECT_EQ(windows.front().className, "VellumDriverTarget");
    EXPECT_EQ(windows.front().hwnd, window_);

    const HWND edit = Control(window_, t::kEdit);
    EXPECT_EQ(FocusedControl(*process_), edit);
    SetText(edit, "Grüße, 文字");
    EXPECT_EQ(Text(edit), "Grüße, 文字");
    SetText(edit, "");
    TypeText(edit, "ab€");
    EXPECT_EQ(Text(edit), "ab€");
    EXPECT_EQ(EditSelection(edit), std::make_pair(DWORD{3}, DWORD{3}));

    const RECT rect = ClientRectInParent(edit, window_);
    EXPECT_EQ(rect.left, t::kEditLeft);
    EXPECT_EQ(rect.top, t::kEditTop);
    EXPECT_EQ(rect.right - rect.left, t::kEditWidth);
    EXPECT_EQ(rect.bottom - rect.top, t::kEditHeight);
}

TEST_F(DriverTest, ReadsMessageBoxesAndTellsTheirIconsApart) {
    struct Case {
        int button;
        const char* text;
        const char* title;
        Icon icon;
        const char* status;
    };
    for (const Case& c :
         {Case{t::kErrorButton, t::kErrorText, t::kErrorTitle, Icon::Error, "error:closed"},
          Case{t::kInfoButton, t::kInfoText, t::kInfoTitle, Icon::Information, "info:closed"}}) {
        SCOPED_TRACE(c.title);
        Click(Control(window_, c.button));
        const MessageBoxInfo box = WaitForMessageBox(*process_);
        EXPECT_EQ(box.title, c.title);
        EXPECT_EQ(box.text, c.text);
        EXPECT_EQ(box.icon, c.icon);
        EXPECT_EQ(box.buttons, std::vector<std::string>{"OK"});
        CloseMessageBox(box.hwnd);
        EXPECT_FALSE(IsWindow(box.hwnd));
        WaitUntil(*process_, "the status after the message box",
                  [&] { return Status() == c.status; });
    }
}

TEST_F(DriverTest, OperatesCheckBoxComboListAndTabs) {
    const HWND check = Control(window_, t::kCheck);
    EXPECT_FALSE(IsChecked(check));
    SetChecked(check, true);
    EXPECT_TRUE(IsChecked(check));
    EXPECT_EQ(Status(), "check:1");
    SetChecked(check, false);
    EXPECT_EQ(Status(), "check:0");

    const HWND combo = Control(window_, t::kCombo);
    EXPECT_EQ(ComboItems(combo), (std::vector<std::string>{"Alpha", "Beta", "Gamma"}));
    EXPECT_EQ(ComboText(combo), "Alpha");
    SelectComboItem(combo, "Gamma");
    EXPECT_EQ(ComboText(combo), "Gamma");
    EXPECT_EQ(ComboSelection(combo), 2);
    EXPECT_EQ(Status(), "combo:Gamma");

    const HWND list = Control(window_, t::kList);
    EXPECT_EQ(ListBoxItems(list),
              (std::vector<std::string>{"one", "two", "three", "four", "five"}));
    EXPECT_TRUE(ListBoxSelection(list).empty());
    ListBoxSelect(list, {0, 2, 4});
    EXPECT_EQ(ListBoxSelection(list), (std::vector<int>{0, 2, 4}));
    EXPECT_EQ(Status(), "list:0,2,4");
    DoubleClickListItem(list, 3);
    EXPECT_EQ(ListBoxSelection(list), (std::vector<int>{3}));
    EXPECT_EQ(Status(), "dblclk:3");

    const HWND tabs = Control(window_, t::kTabs);
    EXPECT_EQ(TabNames(tabs), (std::vector<std::string>{"First", "Second", "Third"}));
    EXPECT_EQ(CurrentTab(tabs), 0);
    // The page edits sit inside page containers: found by a descendant search.
    const HWND third = Control(window_, t::kPageEditFirst + 2);
    EXPECT_EQ(Text(third), "Third");
    EXPECT_FALSE(IsVisible(third));
    SelectTab(tabs, 2);
    EXPECT_EQ(CurrentTab(tabs), 2);
    EXPECT_EQ(Status(), "tab:2");
    EXPECT_TRUE(IsVisible(third));
    EXPECT_FALSE(IsVisible(Control(window_, t::kPageEditFirst)));
    SelectTab(tabs, 0);
    EXPECT_EQ(Status(), "tab:0");
    EXPECT_TRUE(IsVisible(Control(window_, t::kPageEditFirst)));
}

TEST_F(DriverTest, AnswersSaveAsWithANameOrAPath) {
    Click(Control(window_, t::kSaveButton));
    const HWND dialog = WaitForFileDialog(*process_);
    EXPECT_EQ(DialogFolder(dialog), dir_);
    EXPECT_EQ(DialogFileTypes(dialog),
              (std::vector<std::string>{"PDF Files (*.pdf)", "All Files (*.*)"}));
    AnswerSaveAs(*process_, "report");
    WaitUntil(*process_, "the saved path", [&] { return !Result().empty(); });
    EXPECT_EQ(Result(), "save:" + dir_ + "\\report.pdf");

    Click(Control(window_, t::kSaveButton));
    AnswerSaveAs(*process_, dir_ + "\\full path.pdf");
    WaitUntil(*process_, "the saved path",
              [&] { return Result() != "save:" + dir_ + "\\report.pdf"; });
    EXPECT_EQ(Result(), "save:" + dir_ + "\\full path.pdf");
}

TEST_F(DriverTest, ReportsTheMessageBoxAFileDialogAnswersWith) {
    std::ofstream(dir_ + "\\existing.pdf") << "x";
    Click(Control(window_, t::kSaveButton));
    try {
        AnswerSaveAs(*process_, "existing.pdf");
        FAIL() << "the overwrite prompt went unnoticed";
    } catch (const DriverError& e) {
        EXPECT_NE(std::string(e.what()).find("existing.pdf"), std::string::npos) << e.what();
    }
    const MessageBoxInfo prompt = WaitForMessageBox(*process_);
    EXPECT_EQ(prompt.icon, Icon::Warning);
    EXPECT_EQ(prompt.buttons, (std::vector<std::string>{"&Yes", "&No"}));
    // OK would be wrong here: the prompt has none.
    EXPECT_THROW(CloseMessageBox(prompt.hwnd), DriverError);
    PressDialogButton(prompt.hwnd, IDNO);
    CancelDialog(WaitForFileDialog(*process_));
    WaitUntil(*process_, "the cancel", [&] { return Result() == "cancel"; });
}

TEST_F(DriverTest, CancelsAFileDialog) {
    Click(Control(window_, t::kSaveButton));
    const HWND dialog = WaitForFileDialog(*process_);
    CancelDialog(dialog);
    EXPECT_FALSE(IsWindow(dialog));
    WaitUntil(*process_, "the cancel", [&] { return Result() == "cancel"; });
}

TEST_F(DriverTest, AnswersAnOpenDialogOpenedThroughTheAnsiEntryPoint) {
    std::ofstream(dir_ + "\\input.txt") << "x";
    Click(Control(window_, t::kOpenButton));
    const HWND dialog = WaitForFileDialog(*process_);
    EXPECT_EQ(DialogFolder(dialog), dir_);
    EXPECT_EQ(DialogFileTypes(dialog),
              (std::vector<std::string>{"Text Files (*.txt)", "All Files (*.*)"}));
    AnswerOpen(*process_, "input.txt");
    WaitUntil(*process_, "the opened path", [&] { return !Result().empty(); });
    EXPECT_EQ(Result(), "open:" + dir_ + "\\input.txt");
}

TEST_F(DriverTest, FailuresNameWhatWasAwaitedAndWhatWasThere) {
    try {
        WaitForWindow(*process_, "No Such Window", 300ms);
        FAIL() << "no time-out";
    } catch (const DriverError& e) {
        const std::string message = e.what();
        for (const char* part :
             {"No Such Window", "300 ms", "Driver Target", "VellumDriverTarget", "is running"}) {
            EXPECT_NE(message.find(part), std::string::npos) << part << " in: " << message;
        }
    }
    try {
        Control(window_, 4242);
        FAIL() << "no error for a missing control";
    } catch (const DriverError& e) {
        EXPECT_NE(std::string(e.what()).find("4242"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("101"), std::string::npos) << e.what();
    }
    try {
        SelectComboItem(Control(window_, t::kCombo), "Delta");
        FAIL() << "no error for a missing combo item";
    } catch (const DriverError& e) {
        EXPECT_NE(std::string(e.what()).find("\"Beta\""), std::string::npos) << e.what();
    }
    EXPECT_THROW(WaitForMessageBox(*process_, 200ms), DriverError);
    EXPECT_THROW(process_->WaitExitCode(200ms), DriverError);
}

TEST_F(DriverTest, SilentExitFailsAtOnceOnAMessageBoxAndGivesItsWholeText) {
    Click(Control(window_, t::kErrorButton));
    try {
        WaitForSilentExit(*process_);
        FAIL() << "the message box went unnoticed";
    } catch (const DriverError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "the process showed the message box \"Target Error\" (Error): " +
                      std::string(t::kErrorText));
    }
    CloseMessageBox(WaitForMessageBox(*process_).hwnd);
    PostMessageW(window_, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSilentExit(*process_), 0u);
}

TEST_F(DriverTest, ReportsTheExitCodeOfAnEndedProcess) {
    EXPECT_TRUE(process_->Running());
    EXPECT_THROW(process_->ExitCode(), DriverError);
    PostMessageW(window_, WM_CLOSE, 0, 0);
    EXPECT_EQ(process_->WaitExitCode(), 0u);
    EXPECT_FALSE(process_->Running());
    try {
        WaitForWindow(*process_, t::kTitle, 100ms);
        FAIL() << "found a window of an ended process";
    } catch (const DriverError& e) {
        EXPECT_NE(std::string(e.what()).find("exit code 0"), std::string::npos) << e.what();
    }
}

// A program started verbatim meets exactly the command line written for it, as every program
// started on Windows does; Process::Start's quoting would hide what RedRun's start looks like.
class VerbatimStartTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        static int counter = 0;
        base_ = win32::Narrow(temp) + "vellum verbatim " + std::to_string(GetCurrentProcessId()) +
                "-" + std::to_string(++counter);
        for (const std::string& folder :
             {base_, base_ + "\\Program Files", base_ + "\\Program Files\\Target"})
            ASSERT_TRUE(CreateDirectoryW(win32::Widen(folder).c_str(), nullptr)) << folder;
        exe_ = base_ + "\\Program Files\\Target\\target.exe";
        ASSERT_TRUE(CopyFileW(win32::Widen(SiblingPath("command_line_target.exe")).c_str(),
                              win32::Widen(exe_).c_str(), FALSE));
        report_ = base_ + "\\report.txt";
    }

    void TearDown() override {
        DeleteFileW(win32::Widen(exe_).c_str());
        DeleteFileW(win32::Widen(report_).c_str());
        RemoveDirectoryW(win32::Widen(base_ + "\\Program Files\\Target").c_str());
        RemoveDirectoryW(win32::Widen(base_ + "\\Program Files").c_str());
        RemoveDirectoryW(win32::Widen(base_).c_str());
    }

    struct Report {
        std::string wide;  // GetCommandLineW, as UTF-8
        std::string ansi;  // GetCommandLineA
        std::string folder;
    };

    // Starts the target verbatim with `line` and reads back what it reports.
    Report Run(const std::string& line, const std::string& folder = "") {
        DeleteFileW(win32::Widen(report_).c_str());
        Process target =
            Process::StartVerbatim(exe_, line, {{"VELLUM_COMMAND_LINE_FILE", report_}}, folder);
        EXPECT_EQ(target.WaitExitCode(), 0u) << "the target could not write its report";
        std::ifstream in(win32::Widen(report_).c_str(), std::ios::binary);
        Report report;
        std::getline(in, report.wide);
        std::getline(in, report.ansi);
        std::getline(in, report.folder);
        return report;
    }

    std::string base_;
    std::string exe_;
    std::string report_;
};

TEST_F(VerbatimStartTest, ChildGetsTheCommandLineExactlyAsWritten) {
    const std::string lines[] = {
        exe_ + " -config",  // RedRun's start: the path unquoted
        exe_ + " \"C:\\spool dir\\job 1.ps\"",
        exe_ + " \"\" \"C:\\spool dir\\job 1.ps\"",   // an old port's "%1" left empty
        "\"" + exe_ + "\"  two  blanks\tand a tab ",  // kept as written, trailing blank too
        "another name.exe -mail",                     // the line need not name the program
        exe_,
    };
    for (const std::string& line : lines) {
        SCOPED_TRACE(line);
        const Report report = Run(line);
        EXPECT_EQ(report.wide, line);
        EXPECT_EQ(report.ansi, line);
    }
    // Both forms in any script: the target's code page is UTF-8, as vellum.exe's is.
    const Report unicode = Run(exe_ + " Grüße, 文字");
    EXPECT_EQ(unicode.wide, exe_ + " Grüße, 文字");
    EXPECT_EQ(unicode.ansi, exe_ + " Grüße, 文字");
}

TEST_F(VerbatimStartTest, ChildRunsInTheFolderGivenOrTheDriversOwn) {
    EXPECT_EQ(Run(exe_ + " x", base_).folder, base_);
    wchar_t current[MAX_PATH * 4];
    const DWORD length = GetCurrentDirectoryW(MAX_PATH * 4, current);
    EXPECT_EQ(Run(exe_ + " x").folder, win32::Narrow(current, length));
}

TEST_F(VerbatimStartTest, ProgramThatCannotStartIsReportedWithTheSystemsReason) {
    try {
        Process::StartVerbatim(base_ + "\\missing.exe", "missing.exe -config");
        FAIL() << "a missing program was started";
    } catch (const DriverError& e) {
        const std::string message = e.what();
        EXPECT_EQ(message.rfind("cannot start missing.exe -config: NtCreateUserProcess failed", 0),
                  0u)
            << message;
    }
}

}  // namespace
}  // namespace vellum::e2e
