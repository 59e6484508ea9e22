// What the real vellum.exe does with the job before it converts it: it checks the file before
// asking where to save, holds it while the user completes the settings, takes names in any
// script, and says by its exit code whether the job was converted.

#include <gtest/gtest.h>

#include "config/config_ids.h"
#include "config/config_window.h"
#include "e2e_support.h"
#include "toolkit/win32/strings.h"

namespace vellum::e2e {

namespace ids = config::ids;

namespace {

constexpr const char* kConfigTitle = "Configure Vellum";
constexpr DWORD kDone = 0;
constexpr DWORD kNotConverted = 1;
// A port of our own, so that no other test's port is touched.
constexpr const char* kTestPort = "RPT job test:";

class JobTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteCompleteSettings(pdfs.Path());
        CopyFileTo(SiblingPath("jobs\\sample.ps"), jobs.File("job 12.ps"));
    }
    void TearDown() override {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, win32::Widen(RedMonPortKey(kTestPort)).c_str());
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, win32::Widen(RedMonPortKey(kTestPort)).c_str());
        VellumRegistry::Reset();
    }

    static std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

    // A RedRun and a RedMon port that the configuration window's Save can bind.
    void MakeBindablePort() {
        SetupPrinter("--no-printer --port \"" + std::string(kTestPort) + "\"");
        VellumRegistry::Set("rmExe", SiblingPath("redrun.exe"));
        VellumRegistry::Set("rmPort", kTestPort);
    }

    // The message box the process shows next, with a picture of it when `picture` is named.
    static MessageBoxInfo Message(const Process& vellum, const std::string& picture = "") {
        const MessageBoxInfo box = WaitForMessageBox(vellum, kConvertTimeout);
        if (!picture.empty()) SaveWindowImage(box.hwnd, TestOutputPath(picture));
        return box;
    }

    static bool ShowsAFileDialog(const Process& vellum) {
        for (const TopWindow& window : TopWindows(vellum))
            if (window.className == "#32770") return true;
        return false;
    }

    TempFolder pdfs{"vellum job pdfs"};
    TempFolder jobs{"vellum job spool"};
};

}  // namespace

TEST_F(JobTest, JobThatIsNoFileOrEmptyIsReportedInsteadOfAskingWhereToSaveIt) {
    WriteTextFile(jobs.File("empty.ps"), "");
    const std::string made = "\r\n\r\nNo PDF was made.";
    const struct {
        std::string argument, text, picture;
    } cases[] = {
        {Quoted(jobs.File("gone.ps")),
         "The print job file does not exist:\r\n" + jobs.File("gone.ps") + made, "job-missing.bmp"},
        {Quoted(jobs.File("empty.ps")),
         "The print job file is empty:\r\n" + jobs.File("empty.ps") + made, ""},
        {Quoted(jobs.Path()), "The print job is a folder, not a file:\r\n" + jobs.Path() + made,
         ""},
        {"\"\"", "No print job file was named, so no PDF was made.", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.argument);
        Process vellum = StartVellum(c.argument);
        const MessageBoxInfo box = Message(vellum, c.picture);
        EXPECT_EQ(Seen(box), (Shown{"Error!", c.text, Icon::Error}));
        CloseMessageBox(box.hwnd);
        EXPECT_EQ(vellum.WaitExitCode(), kNotConverted) << DescribeWindows(vellum);
    }
    EXPECT_TRUE(FileExists(jobs.File("empty.ps")));
}

TEST_F(JobTest, CancelledSaveAsIsNoFailure) {
    Process vellum = StartVellum(Quoted(jobs.File("job 12.ps")));
    CancelDialog(WaitForFileDialog(vellum));
    EXPECT_EQ(vellum.WaitExitCode(), kDone) << DescribeWindows(vellum);
}

// Ghostscript takes an argument that starts with "-" for a switch; the job goes by its full path.
TEST_F(JobTest, JobNamedLikeASwitchIsConvertedFromTheCurrentFolder) {
    CopyFileTo(SiblingPath("jobs\\sample.ps"), jobs.File("-q.ps"));
    Process vellum = Process::Start(SiblingPath("vellum.exe"), "-q.ps", {}, jobs.Path());
    AnswerSaveAs(vellum, pdfs.File("dash.pdf"));
    EXPECT_EQ(vellum.WaitExitCode(kConvertTimeout), kDone) << DescribeWindows(vellum);
    ASSERT_TRUE(FileExists(pdfs.File("dash.pdf")));
    EXPECT_NE(PdfText(pdfs.File("dash.pdf")).find("Quillwort"), std::string::npos);
}

TEST_F(JobTest, HeldJobIsConvertedOnceTheSettingsAreSaved) {
    // With a port to bind, and with a RedRun that is gone: a failed binding is no save, the
    // window stays open until the user names RedRun.
    for (const bool redRun : {true, false}) {
        SCOPED_TRACE(redRun ? "port bound" : "RedRun gone");
        MakeBindablePort();
        if (!redRun) VellumRegistry::Set("rmExe", jobs.File("gone\\redrun.exe"));
        VellumRegistry::Set("defDir", "");
        Process vellum = StartVellum(Quoted(jobs.File("job 12.ps")));
        const MessageBoxInfo box = Message(vellum);
        EXPECT_EQ(Seen(box), (Shown{"Configuration Error!", "PDF default directory not set.",
                                    Icon::Information}));
        CloseMessageBox(box.hwnd);

        const HWND window = WaitForWindow(vellum, kConfigTitle);
        EXPECT_EQ(CurrentTab(Control(window, ids::kTabs)), 2);
        SetText(Control(window, ids::kPdfDir), pdfs.Path());
        EXPECT_FALSE(ShowsAFileDialog(vellum)) << "no Save As while the settings are open";
        EXPECT_EQ(Text(Control(window, ids::kWaitingJob)),
                  "The print job \"Vellum sample job\" is waiting: it is converted once the "
                  "settings are saved.");
        // The Open dialog of a Browse leaves nothing behind for the PDF's Save As.
        SelectTab(Control(window, ids::kTabs), 0);
        Click(Control(window, ids::kBrowseGsExe));
        CancelDialog(WaitForFileDialog(vellum));
        Click(Control(window, ids::kSave));
        if (!redRun) {
            const MessageBoxInfo noRedRun = Message(vellum);
            EXPECT_EQ(Seen(noRedRun),
                      (Shown{"Error!", "RedRun executable not found.", Icon::Error}));
            CloseMessageBox(noRedRun.hwnd);
            EXPECT_TRUE(IsVisible(window)) << "not saved";
            EXPECT_EQ(CurrentTab(Control(window, ids::kTabs)), 1);
            SetText(Control(window, ids::kRrExe), SiblingPath("redrun.exe"));
            Click(Control(window, ids::kSave));
        }

        const HWND dialog = WaitForFileDialog(vellum);
        EXPECT_EQ(Text(dialog), "Save As");
        EXPECT_EQ(DialogFileName(dialog), "Vellum sample job.pdf");
        EXPECT_EQ(_stricmp(DialogFolder(dialog).c_str(), pdfs.Path().c_str()), 0)
            << "the folder just saved: " << DialogFolder(dialog);
        EXPECT_FALSE(IsVisible(window)) << "saved and closed";
        const std::string name = redRun ? "held" : "held after naming RedRun";
        SubmitFileDialog(dialog, name);
        EXPECT_EQ(vellum.WaitExitCode(kConvertTimeout), kDone) << DescribeWindows(vellum);
        EXPECT_TRUE(FileExists(pdfs.File(name + ".pdf")));
        std::string stored;
        EXPECT_TRUE(VellumRegistry::Read("Software\\Vellum", "defDir", stored, HKEY_CURRENT_USER))
            << "the user's own setting";
        EXPECT_EQ(stored, pdfs.Path());
        WriteCompleteSettings(pdfs.Path());  // and no port any more
    }
}

TEST_F(JobTest, SettingsLeftIncompleteSayTheJobWasNotConverted) {
    VellumRegistry::Set("gsExe", jobs.File("gone\\gswin64c.exe"));
    const std::string text =
        "The print job was not converted, because the settings were not completed:\r\n" +
        jobs.File("job 12.ps") + "\r\n\r\nPrint the document again once the settings are saved.";
    for (const bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox ? "close box" : "Cancel");
        Process vellum = StartVellum(Quoted(jobs.File("job 12.ps")));
        CloseMessageBox(Message(vellum).hwnd);
        const HWND window = WaitForWindow(vellum, kConfigTitle);
        // Asked first; No goes back to the window, Yes discards the job.
        for (const int answer : {IDNO, IDYES}) {
            if (closeBox)
                PostMessageW(window, WM_CLOSE, 0, 0);
            else
                PostMessageW(window, WM_COMMAND, IDCANCEL, 0);  // Esc
            const MessageBoxInfo question = Message(vellum);
            EXPECT_EQ(Seen(question), (Shown{kConfigTitle,
                                             config::DiscardJobQuestion("Vellum sample job"),
                                             Icon::Question,
                                             {"&Yes", "&No"}}));
            PressDialogButton(question.hwnd, answer);
            if (answer == IDNO) {
                WaitForWindowGone(vellum, question.hwnd, "the question");
                EXPECT_TRUE(IsVisible(window)) << "No keeps the window and the job";
            }
        }

        const MessageBoxInfo box = Message(vellum, closeBox ? "" : "job-not-converted.bmp");
        EXPECT_EQ(Seen(box), (Shown{"Error!", text, Icon::Error}));
        CloseMessageBox(box.hwnd);
        EXPECT_EQ(vellum.WaitExitCode(), kNotConverted) << DescribeWindows(vellum);
    }
    EXPECT_TRUE(FileExists(jobs.File("job 12.ps")));
}

TEST_F(JobTest, SaveAsProposesTheDocumentsName) {
    const struct {
        const char* docName;  // REDMON_DOCNAME; nullptr: not set
        const char* job;      // the job's first lines
        const char* proposed;
    } cases[] = {
        {"Microsoft Word - \xD0\x9E\xD1\x82\xD1\x87\xD1\x91\xD1\x82 \xE6\x97\xA5\xE6\x9C\xAC.docx",
         "%!PS\n", "\xD0\x9E\xD1\x82\xD1\x87\xD1\x91\xD1\x82 \xE6\x97\xA5\xE6\x9C\xAC.pdf"},
        {"RedMon", "%!PS-Adobe-3.0\n%%Title: (Invoice: 2024/05 \\(final\\))\n",
         "Invoice - 2024-05 (final).pdf"},
        {nullptr, "%!PS\n", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.proposed);
        const std::string job = jobs.File("titled.ps");
        const std::string sample = ReadTextFile(SiblingPath("jobs\\sample.ps"));
        WriteTextFile(job, c.job + sample.substr(sample.find("%%Creator")));  // its title left out
        Environment env;
        if (c.docName) env.push_back({"REDMON_DOCNAME", c.docName});
        Process vellum = StartVellum(Quoted(job), env);
        const HWND dialog = WaitForFileDialog(vellum);
        EXPECT_EQ(DialogFileName(dialog), c.proposed);
        CancelDialog(dialog);
        EXPECT_EQ(vellum.WaitExitCode(), kDone);
    }
}

TEST_F(JobTest, NamesInAnyScriptMakeThePdfTheUserAskedFor) {
    // Cyrillic, CJK and emoji (outside the Basic Multilingual Plane) in every name.
    const std::string script =
        "\xD0\x96\xD1\x83\xD1\x80\xD0\xBD\xD0\xB0\xD0\xBB "  // Журнал
        "\xE6\x97\xA5\xE6\x9C\xAC "                          // 日本
        "\xF0\x9F\x93\x84";                                  // 📄
    TempFolder folder("pdf " + script);
    VellumRegistry::Set("defDir", folder.Path());
    const std::string job = jobs.File("job " + script + ".ps");
    CopyFileTo(SiblingPath("jobs\\sample.ps"), job);

    Process vellum = StartVellum(Quoted(job));
    const HWND dialog = WaitForFileDialog(vellum);
    EXPECT_EQ(DialogFolder(dialog), folder.Path());
    SubmitFileDialog(dialog, "report " + script);
    EXPECT_EQ(vellum.WaitExitCode(kConvertTimeout), kDone) << DescribeWindows(vellum);
    const std::string pdf = folder.File("report " + script + ".pdf");
    ASSERT_TRUE(FileExists(pdf));
    EXPECT_NE(PdfText(pdf).find("Quillwort"), std::string::npos);
}

// Folders nested deeper than a path may be, made and removed through the long-path prefix.
// Removed before their TempFolder goes: Wine's SHFileOperation, deleting a tree with such a
// path in it, deletes the files of the current folder instead (measured).
class DeepFolder {
public:
    explicit DeepFolder(const std::string& parent) : path_(parent) {
        while (win32::Widen(path_).size() < MAX_PATH + 20) {
            path_ += "\\" + std::string(50, 'd');
            made_.push_back(L"\\\\?\\" + win32::Widen(path_));
            if (!CreateDirectoryW(made_.back().c_str(), nullptr))
                throw std::runtime_error("cannot create " + path_);
        }
    }
    DeepFolder(const DeepFolder&) = delete;
    DeepFolder& operator=(const DeepFolder&) = delete;
    ~DeepFolder() {
        for (auto it = made_.rbegin(); it != made_.rend(); ++it) RemoveDirectoryW(it->c_str());
    }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
    std::vector<std::wstring> made_;
};

TEST_F(JobTest, DefaultFolderTheDialogCannotTakeStillAsksWhereToSave) {
    const DeepFolder deep(pdfs.Path());
    for (const std::string& defDir : {deep.Path(), pdfs.File("gone")}) {
        SCOPED_TRACE(defDir);
        VellumRegistry::Set("defDir", defDir);
        Process vellum = StartVellum(Quoted(jobs.File("job 12.ps")));
        AnswerSaveAs(vellum, pdfs.File("anyway.pdf"));
        EXPECT_EQ(vellum.WaitExitCode(kConvertTimeout), kDone) << DescribeWindows(vellum);
        EXPECT_TRUE(FileExists(pdfs.File("anyway.pdf")));
        DeleteFileW(win32::Widen(pdfs.File("anyway.pdf")).c_str());
    }
}

namespace {

std::string FolderVariable(const wchar_t* name) {
    wchar_t folder[MAX_PATH];
    GetEnvironmentVariableW(name, folder, MAX_PATH);
    return win32::Narrow(std::wstring(folder)) + "\\Vellum";
}

// The log of jobs run where no one sees a window, and of each handover: the machine's.
std::string MachineLogText() {
    return ReadTextFile(FolderVariable(L"ProgramData") + "\\vellum.log");
}

// The log of jobs run on the user's desktop: the user's own.
std::string JobLogText() {
    return ReadTextFile(FolderVariable(L"LOCALAPPDATA") + "\\vellum.log");
}

// The vellum.exe another one started, once it runs.
Process HandedOverVellum(const Process& unseen) {
    for (int i = 0; i < 200; ++i, Sleep(50))
        for (DWORD id : ProcessesNamed("vellum.exe"))
            if (id != unseen.Id()) return Process::Attach(id);
    throw DriverError("no handed-over vellum.exe");
}

}  // namespace

// alice has no session here (Wine's only one is root's): no handover.
TEST_F(JobTest, AJobWhereNoOneSeesAWindowIsSavedForItsPrintingUserWithoutAsking) {
    const UnseenStation unseen;
    ASSERT_NE(unseen.Desktop(), nullptr) << GetLastError();
    VellumRegistry::Set("autoDir", pdfs.Path() + "\\<user>");
    const Environment env{{"REDMON_USER", "alice"}, {"REDMON_DOCNAME", "Quarterly report"}};
    for (const char* name : {"Quarterly report.pdf", "Quarterly report (2).pdf"}) {
        Process vellum = StartVellum(Quoted(jobs.File("job 12.ps")), env, "VellumUnseen\\Default");
        EXPECT_EQ(vellum.WaitExitCode(kConvertTimeout), kDone);
        const std::string pdf = pdfs.File("alice\\") + name;
        EXPECT_NE(PdfText(pdf).find("Quillwort"), std::string::npos) << pdf;
        EXPECT_NE(MachineLogText().find("\talice\tQuarterly report\tno window\twritten\t" + pdf),
                  std::string::npos);
    }
    EXPECT_NE(MachineLogText().find("Not handed over to the printing user's session: finding "
                                    "alice's session: no active session of alice"),
              std::string::npos);
}

TEST_F(JobTest, AnUnseenJobOfTheDesktopsUserAsksOnItsDesktopAndBothEndAsItDoes) {
    const UnseenStation unseen;
    ASSERT_NE(unseen.Desktop(), nullptr) << GetLastError();
    wchar_t user[257];
    DWORD length = 257;
    ASSERT_TRUE(GetUserNameW(user, &length));
    const Environment env{{"REDMON_USER", win32::Narrow(std::wstring(user))},
                          {"REDMON_SESSIONID", "1"},
                          {"REDMON_DOCNAME", "Handed report"}};
    for (const bool cancel : {true, false}) {
        SCOPED_TRACE(cancel ? "cancelled" : "saved");
        Process vellum = StartVellum(Quoted(jobs.File("job 12.ps")), env, "VellumUnseen\\Default");
        Process own = HandedOverVellum(vellum);
        const HWND dialog = WaitForFileDialog(own, kConvertTimeout);
        EXPECT_EQ(DialogFileName(dialog), "Handed report.pdf");
        if (cancel)
            CancelDialog(dialog);
        else
            SubmitFileDialog(dialog, pdfs.File("chosen.pdf"));
        EXPECT_EQ(own.WaitExitCode(kConvertTimeout), kDone) << DescribeWindows(own);
        EXPECT_EQ(vellum.WaitExitCode(kConvertTimeout), kDone);
        EXPECT_EQ(FilesIn(pdfs.Path()),
                  cancel ? std::vector<std::string>{} : std::vector<std::string>{"chosen.pdf"});
    }
    EXPECT_NE(MachineLogText().find("\tHanded report\thanded over\thanded over to "),
              std::string::npos);
    for (const std::string& file : FilesIn(FolderVariable(L"ProgramData")))
        EXPECT_EQ(file.rfind("handover ", 0), std::string::npos) << "a copy of the job was left";
}

// A job no one sees that cannot become a PDF is kept for its user; one that hangs is ended by
// gsTimeout with nothing half-made left; a user named like a device gets a folder all the same.
TEST_F(JobTest, AnUnseenJobIsNeverDropped) {
    const UnseenStation station;
    VellumRegistry::Set("autoDir", pdfs.Path() + "\\<user>");
    VellumRegistry::Set("gsTimeout", "3");
    CopyFileTo(SiblingPath("jobs\\broken.ps"), jobs.File("broken.ps"));
    TempFolder temp{"vellum unseen temp"};
    const struct {
        const char* user;
        const char* job;
        const char* gs;  // VELLUM_GS: the Unix Ghostscript, or the launcher's "hang"
        DWORD exitCode;
        const char* kept;    // how the one file left in the user's folder ends
        const char* logged;  // in the job's log line
    } rows[] = {
        {"alice", "broken.ps", "/usr/bin/gs", kNotConverted, ".ps",
         "failed: Error: /undefined in vellumNoSuchOperator; the print job is kept as "},
        {"bob", "job 12.ps", "hang", kNotConverted, ".ps",
         "failed: Ghostscript was ended after 3 seconds (gsTimeout); the print job is kept as "},
        {"CON", "job 12.ps", "/usr/bin/gs", kDone, ".pdf", "\tno window\twritten\t"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.user);
        Process vellum =
            StartVellum(Quoted(jobs.File(row.job)),
                        {{"REDMON_USER", row.user}, {"VELLUM_GS", row.gs}, {"TEMP", temp.Path()}},
                        "VellumUnseen\\Default");
        EXPECT_EQ(vellum.WaitExitCode(kConvertTimeout), row.exitCode);
        const std::string folder = pdfs.File(row.user == std::string("CON") ? "CON_" : row.user);
        const std::vector<std::string> left = FilesIn(folder);
        ASSERT_EQ(left.size(), 1u) << "nothing half-made beside it";
        EXPECT_EQ(left[0].substr(left[0].size() - std::string(row.kept).size()), row.kept);
        EXPECT_NE(MachineLogText().find(row.logged), std::string::npos) << MachineLogText();
        EXPECT_TRUE(FilesIn(temp.Path()).empty()) << "no temporary folder left";
    }
}

TEST_F(JobTest, AGhostscriptGoneSinceItWasStoredGivesWayToTheNewestRegisteredOne) {
    const std::string root = jobs.File("gs10.05.1");
    for (const char* folder : {"", "\\bin", "\\lib"})
        CreateDirectoryW(win32::Widen(root + folder).c_str(), nullptr);
    CopyFileTo(SiblingPath("gswin64c.exe"), root + "\\bin\\gswin64c.exe");
    const std::wstring key = L"SOFTWARE\\GPL Ghostscript\\10.05.1";
    const std::wstring dll = win32::Widen(root + "\\bin\\gsdll64.dll");
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), L"GS_DLL", REG_SZ, dll.c_str(),
                    static_cast<DWORD>((dll.size() + 1) * sizeof(wchar_t)));
    VellumRegistry::Set("gsExe", jobs.File("gs9.56.1\\bin\\gswin64c.exe"));

    Process vellum = StartVellum(Quoted(jobs.File("job 12.ps")));
    SubmitFileDialog(WaitForFileDialog(vellum, kConvertTimeout), "upgraded");
    EXPECT_EQ(vellum.WaitExitCode(kConvertTimeout), kDone) << DescribeWindows(vellum);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, key.c_str());
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, key.c_str());
    EXPECT_TRUE(FileExists(pdfs.File("upgraded.pdf")));
    std::string stored;
    EXPECT_TRUE(VellumRegistry::Read("SOFTWARE\\Vellum", "gsExe", stored));
    EXPECT_EQ(stored, root + "\\bin\\gswin64c.exe") << "stored: Wine runs as an administrator";
    EXPECT_NE(JobLogText().find("Ghostscript 10.05.1 (" + stored + ") is used in place of"),
              std::string::npos);
}

TEST_F(JobTest, SaveAsOpensInTheUsersOwnFolderOverTheMachinesDefault) {
    TempFolder own{"vellum own pdfs"};
    VellumRegistry::Set("defDir", own.Path(), HKEY_CURRENT_USER);
    Process vellum = StartVellum(Quoted(jobs.File("job 12.ps")), {{"REDMON_USER", "carol"}});
    const HWND dialog = WaitForFileDialog(vellum, kConvertTimeout);
    EXPECT_EQ(_stricmp(DialogFolder(dialog).c_str(), own.Path().c_str()), 0)
        << DialogFolder(dialog);
    CancelDialog(dialog);
    EXPECT_EQ(vellum.WaitExitCode(kConvertTimeout), kDone);
    EXPECT_NE(JobLogText().find("\tcarol\tVellum sample job\tasked\tcancelled\t"),
              std::string::npos);
}

// What a standard user's Save runs elevated; here (Wine is always elevated) started directly.
TEST_F(JobTest, TheMachineCommandStoresTheMachinesSettingsAndBindsThePortUnseen) {
    MakeBindablePort();
    const std::string redrun = SiblingPath("redrun.exe");
    // A command with empty values, or naming no port, is refused before anything is written.
    std::string before;
    EXPECT_TRUE(VellumRegistry::Read("SOFTWARE\\Vellum", "gsExe", before));
    for (const std::string& refused :
         {std::string(R"("" "" "" "" "")"), Quoted(SiblingPath("gswin64c.exe")) + R"( "" "" )" +
                                                Quoted(redrun) + R"( "RPT no such port:")"}) {
        EXPECT_EQ(StartVellum("-machine " + refused).WaitExitCode(kConvertTimeout), 3u);
        std::string after;
        EXPECT_TRUE(VellumRegistry::Read("SOFTWARE\\Vellum", "gsExe", after));
        EXPECT_EQ(after, before) << refused;
        EXPECT_TRUE(VellumRegistry::Read("SOFTWARE\\Vellum", "rmPort", after));
        EXPECT_EQ(after, kTestPort) << refused;
    }
    Process vellum =
        StartVellum("-machine " + Quoted(SiblingPath("gswin64c.exe")) + " \"C:\\windows\\Fonts\" " +
                    Quoted(SiblingPath("jobs")) + " " + Quoted(redrun) + " " + Quoted(kTestPort));
    EXPECT_EQ(vellum.WaitExitCode(kConvertTimeout), kDone) << DescribeWindows(vellum);
    std::string value;
    EXPECT_TRUE(VellumRegistry::Read("SOFTWARE\\Vellum", "gsFonts", value));
    EXPECT_EQ(value, "C:\\windows\\Fonts");
    EXPECT_TRUE(VellumRegistry::Read(RedMonPortKey(kTestPort), "Command", value));
    EXPECT_EQ(value, redrun);
    EXPECT_TRUE(VellumRegistry::Read(RedMonPortKey(kTestPort), "Arguments", value));
    EXPECT_NE(value.find("vellum.exe\" %%1"), std::string::npos) << value;
}

}  // namespace vellum::e2e
