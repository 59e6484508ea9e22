// The mail hand-off of the real vellum.exe: after a conversion, and from the send-mail window,
// into the recording MAPI32.DLL of the test rig.

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>

#include "e2e_support.h"
#include "mail/send_mail_ids.h"
#include "toolkit/win32/strings.h"
#include "toolkit/win32/system_error.h"

namespace vellum::e2e {

namespace ids = mail::ids;

namespace {

constexpr const char* kWindowTitle = "Send PDF by eMail";
constexpr wchar_t kOverridesKey[] = L"Software\\Wine\\AppDefaults\\vellum.exe\\DllOverrides";

// vellum.exe runs from a folder of its own with the recording MAPI32.DLL beside it (Wine only
// loads it when told to) or with no mail library at all.
class MailTest : public ::testing::Test {
protected:
    void SetUp() override {
        VellumRegistry::Reset();
        for (const char* file : {"vellum.exe", "VellumRegistry.dll"})
            CopyFileTo(SiblingPath(file), bin.File(file));
        CopyFileTo(SiblingPath("mapi-stub\\mapi32.dll"), bin.File("mapi32.dll"));
    }
    void TearDown() override {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kOverridesKey, L"mapi32");
        VellumRegistry::Reset();
    }

    // Wine keeps its builtin mapi32, which answers 26 at once, unless the program's own
    // DllOverrides say otherwise; WINEDLLOVERRIDES passed by a Windows parent is not heeded.
    Process Start(const std::string& argsTail, const std::string& mapiResult = "0",
                  const wchar_t* mapiLoadOrder = L"native,builtin") {
        const std::wstring order = mapiLoadOrder;
        const LSTATUS status =
            RegSetKeyValueW(HKEY_CURRENT_USER, kOverridesKey, L"mapi32", REG_SZ, order.c_str(),
                            static_cast<DWORD>((order.size() + 1) * sizeof(wchar_t)));
        if (status != ERROR_SUCCESS) throw std::runtime_error("cannot set Wine's DllOverrides");
        return Process::Start(bin.File("vellum.exe"), argsTail,
                              {{"VELLUM_MAPI_LOG", LogPath()}, {"VELLUM_MAPI_RESULT", mapiResult}});
    }

    std::string LogPath() const { return work.File("mapi.log"); }
    std::string Record(std::uintptr_t hwnd, const std::string& paths,
                       const std::string& names) const {
        return "hwnd=" + std::to_string(hwnd) + "\ndelim=;\npaths=" + paths + "\nnames=" + names +
               "\nreserved=0\n\n";
    }

    // A conversion whose Save As is answered with `pdf`.
    Process Convert(const std::string& pdf, const std::string& mapiResult) {
        CopyFileTo(SiblingPath("jobs\\sample.ps"), work.File("job.ps"));
        std::string job = "\"";  // built up: GCC 12 misreads "x" + std::string as an overlap
        job += work.File("job.ps") + "\"";
        Process vellum = Start(job, mapiResult);
        AnswerSaveAs(vellum, pdf);
        return vellum;
    }

    TempFolder bin{"vellum mail bin"};
    TempFolder work{"vellum mail work"};
    TempFolder pdfs{"vellum pdfs"};
};

// The window opened on `pdfs` holding a.pdf, b.pdf and c.txt.
class MailWindowTest : public MailTest {
protected:
    void SetUp() override {
        MailTest::SetUp();
        for (const char* file : {"a.pdf", "b.pdf", "c.txt"})
            WriteTextFile(pdfs.File(file), "%PDF-1.4\n");
        WriteCompleteSettings(pdfs.Path());
    }

    HWND Open(Process& vellum) {
        const HWND window = WaitForWindow(vellum, kWindowTitle);
        files = Control(window, ids::kFiles);
        return window;
    }

    HWND files = nullptr;
};

}  // namespace

TEST_F(MailTest, ConvertedPdfIsHandedOverAndTheOutcomeShown) {
    struct Case {
        const char* result;
        const char* title;
        Icon icon;
        const char* text;
    };
    const Case cases[] = {
        {"0", "Success!", Icon::Information, "The message was sent successfully."},
        {"1", "Error!", Icon::Error, "The user canceled the process. No message was sent."},
        {"26", "Error!", Icon::Error,
         "The mail program reported error 26. The message may not have been sent."},
    };
    std::string expected;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.result);
        WriteCompleteSettings(pdfs.Path(), true);
        const std::string pdf = pdfs.File(std::string("mailed ") + c.result + ".pdf");
        Process vellum = Convert(pdf, c.result);
        const MessageBoxInfo box = WaitForMessageBox(vellum, kConvertTimeout);
        EXPECT_EQ(Seen(box), (Shown{c.title, c.text, c.icon}));
        EXPECT_TRUE(FileExists(pdf)) << "mailed only once converted";
        CloseMessageBox(box.hwnd);
        EXPECT_TRUE(vellum.WaitExit(10s)) << DescribeWindows(vellum);
        expected += Record(0, pdf, std::string("mailed ") + c.result + ".pdf");
    }
    EXPECT_EQ(ReadTextFile(LogPath()), expected);
}

TEST_F(MailTest, MailSwitchedOffCallsNothing) {
    WriteCompleteSettings(pdfs.Path(), false);
    Process vellum = Convert(pdfs.File("kept.pdf"), "0");
    EXPECT_TRUE(vellum.WaitExit(kConvertTimeout)) << DescribeWindows(vellum);
    EXPECT_TRUE(FileExists(pdfs.File("kept.pdf")));
    EXPECT_FALSE(FileExists(LogPath()));
}

TEST_F(MailWindowTest, ListsThePdfsOfTheDefaultFolderAndMailsTheSelectionInListOrder) {
    // A folder named like a PDF is no file; the pattern's case does not matter, nor the sort's.
    CreateDirectoryW(win32::Widen(pdfs.File("folder.pdf")).c_str(), nullptr);
    WriteTextFile(pdfs.File("C.PDF"), "%PDF-1.4\n");
    Process vellum = Start("-mail");
    const HWND window = Open(vellum);
    EXPECT_EQ(ListBoxItems(files), (std::vector<std::string>{"a.pdf", "b.pdf", "C.PDF"}));
    const std::string drive = ComboText(Control(window, ids::kDrives));
    EXPECT_EQ(_strnicmp(drive.c_str(), pdfs.Path().c_str(), 2), 0) << drive;
    WaitUntil(vellum, "the focus in the folder list",
              [&] { return FocusedControl(vellum) == Control(window, ids::kFolders); });
    EXPECT_NE(ExStyle(Control(window, ids::kSendMail)) & WS_EX_STATICEDGE, 0);

    ListBoxSelect(files, {1, 0});
    Click(Control(window, ids::kSendMail));
    const MessageBoxInfo box = WaitForMessageBox(vellum);
    EXPECT_EQ(Seen(box),
              (Shown{"Success!", "The message was sent successfully.", Icon::Information}));
    CloseMessageBox(box.hwnd);
    EXPECT_EQ(ReadTextFile(LogPath()),
              Record(reinterpret_cast<std::uintptr_t>(window),
                     pdfs.File("a.pdf") + ";" + pdfs.File("b.pdf") + ";", "a.pdf;b.pdf;"));
    EXPECT_TRUE(vellum.Running()) << "the window stays for another send";
}

TEST_F(MailWindowTest, NothingSelectedAsksForASelection) {
    Process vellum = Start("-mail");
    const HWND window = Open(vellum);
    Click(Control(window, ids::kSendMail));
    const MessageBoxInfo box = WaitForMessageBox(vellum);
    EXPECT_EQ(Seen(box), (Shown{"Check!", "No File selected for sending.", Icon::Information}));
    CloseMessageBox(box.hwnd);
    EXPECT_FALSE(FileExists(LogPath()));
}

TEST_F(MailWindowTest, OpeningAFolderListsItsPdfs) {
    CreateDirectoryW(win32::Widen(pdfs.File("June")).c_str(), nullptr);
    WriteTextFile(pdfs.File("June\\d.pdf"), "%PDF-1.4\n");
    Process vellum = Start("-mail");
    const HWND window = Open(vellum);
    const HWND folders = Control(window, ids::kFolders);
    const std::vector<std::string> items = ListBoxItems(folders);
    int june = -1;
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].find("June") != std::string::npos) june = static_cast<int>(i);
    ASSERT_GE(june, 0) << "no June among the folders";
    DoubleClickListItem(folders, june);
    WaitUntil(vellum, "the file list of June",
              [&] { return ListBoxItems(files) == std::vector<std::string>{"d.pdf"}; });
}

TEST_F(MailWindowTest, ChoosingADriveMovesTheFolderAndFileListsAlong) {
    Process vellum = Start("-mail");
    const HWND window = Open(vellum);
    const HWND drives = Control(window, ids::kDrives);
    const HWND folders = Control(window, ids::kFolders);
    const std::string home = ComboText(drives);
    std::string other;
    for (const std::string& item : ComboItems(drives))
        if (_strnicmp(item.c_str(), home.c_str(), 2) != 0) other = item;
    ASSERT_FALSE(other.empty()) << "a second drive is needed";

    // The folder list moves to the other drive (to the folder last open there, or its root).
    SelectComboItem(drives, other);
    WaitUntil(vellum, "the folders of " + other, [&] {
        const std::vector<std::string> items = ListBoxItems(folders);
        return !items.empty() && items[0] == other.substr(0, 2) + "\\";
    });
    // Back on the first drive, the folder left there comes back, with its files.
    SelectComboItem(drives, home);
    WaitUntil(vellum, "the PDFs of the default folder again", [&] {
        return ListBoxItems(files) == std::vector<std::string>{"a.pdf", "b.pdf"};
    });
}

TEST_F(MailWindowTest, MissingMailLibraryIsAnUntrappedErrorThatEndsTheProgram) {
    Process vellum = Start("-mail", "0", L"");  // no mail library at all
    const HWND window = Open(vellum);
    ListBoxSelect(files, {0});
    Click(Control(window, ids::kSendMail));
    const MessageBoxInfo box = WaitForMessageBox(vellum);
    EXPECT_EQ(Seen(box),
              (Shown{"Vellum",
                     "Run-time error '48':\r\n\r\n"
                     "No mail program that supports Simple MAPI is installed: File not found: "
                     "MAPI32.DLL: " +
                         win32::DescribeSystemError(ERROR_MOD_NOT_FOUND) +
                         ". Install or configure a mail program, or switch off mailing in the "
                         "configuration.",
                     Icon::Error}));
    CloseMessageBox(box.hwnd);
    EXPECT_TRUE(vellum.WaitExit(10s)) << DescribeWindows(vellum);
}

TEST_F(MailWindowTest, DefaultFolderOnAMissingDriveIsReportedAndTheWindowStillOpens) {
    VellumRegistry::Set("defDir", "Q:\\Reports");
    Process vellum = Start("-mail");
    const MessageBoxInfo box = WaitForMessageBox(vellum);
    EXPECT_EQ(Seen(box), (Shown{"Error!", "68: Device unavailable", Icon::Error}));
    CloseMessageBox(box.hwnd);
    const HWND window = WaitForWindow(vellum, kWindowTitle);
    EXPECT_TRUE(IsVisible(window));
    EXPECT_TRUE(vellum.Running());
}

}  // namespace vellum::e2e
