#include "mail/frm_send_mail.h"

#include <gtest/gtest.h>

#include "fakes/fake_controls.h"
#include "fakes/fake_file_lists.h"
#include "fakes/fake_mail.h"
#include "fakes/fake_msg_box.h"
#include "fakes/fake_shell.h"
#include "fakes/fake_startup.h"
#include "settings/settings.h"

namespace vellum::mail {
namespace {

using toolkit::Icon;
using Log = std::vector<std::string>;

constexpr std::uintptr_t kWindow = 0x1234;

class SendMailForm : public testing::Test {
protected:
    SendMailForm() {
        // The lists' change events run the window's handlers, as the window wires them.
        drive.onChange = [this] { form.drivePDF_Change(); };
        dir.onChange = [this] { form.dirPDF_Change(); };
    }

    void ShowFolder(const std::string& path, std::vector<std::string> entries) {
        file.path = path;
        file.entries = std::move(entries);
    }
    Log Paths() { return {drive.Drive(), dir.Path(), file.Path()}; }

    Log log;
    FakeDriveList drive{log};
    FakeDirList dir{log};
    FakeFileList file{log};
    FakeButton button;
    FakeMapi mapi;
    FakeMsgBox box;
    FakeWindowApi windows;
    FakeDocumentShell shell;
    settings::SettingsRecord settings;
    FrmSendMail form{SendMailControls{drive, dir, file, button, kWindow},
                     SendMailServices{mapi, box, windows, shell, settings}};
};

TEST_F(SendMailForm, LoadGivesTheButtonItsEdgeAndMovesEveryListToTheDefaultFolder) {
    settings.defDir = "D:\\Reports\\June";
    form.Form_Load();
    EXPECT_EQ(log, (Log{"drive=D:", "dir=d:", "file=D:\\", "dir=D:\\Reports\\June",
                        "file=D:\\Reports\\June"}));
    EXPECT_EQ(Paths(), (Log{"d:", "D:\\Reports\\June", "D:\\Reports\\June"}));
    EXPECT_EQ(windows.styles[button.hwnd], shell::kWsExStaticEdge);
    EXPECT_EQ(windows.framesChanged, std::vector<std::uintptr_t>{button.hwnd});
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(SendMailForm, LoadFailuresReachTheCallerAndLeaveTheListsWhereTheyCouldGo) {
    // A drive the machine lacks: nothing moves.
    settings.defDir = "Q:\\PDF";
    try {
        form.Form_Load();
        FAIL() << "no error";
    } catch (const toolkit::RuntimeError& e) {
        EXPECT_EQ(e.Number(), toolkit::kErrDeviceUnavailable);
    }
    EXPECT_EQ(Paths(), (Log{"c:", "C:\\", "C:\\"}));

    // A folder that cannot be read: the lists stay on its drive.
    settings.defDir = "D:\\Gone";
    dir.unreadable = {"D:\\Gone"};
    EXPECT_THROW(form.Form_Load(), toolkit::RuntimeError);
    EXPECT_EQ(Paths(), (Log{"d:", "D:\\", "D:\\"}));

    // No drive at all in the path.
    for (const char* path : {"", "\\\\server\\share"}) {
        settings.defDir = path;
        EXPECT_THROW(form.Form_Load(), toolkit::RuntimeError) << path;
    }
    EXPECT_TRUE(box.shown.empty()) << "the load handler reports nothing itself";
}

TEST_F(SendMailForm, ListChangeFailuresShowTheBareDescriptionAndLeaveTheNextListsAlone) {
    dir.unreadable = {"D:\\"};
    drive.SetDrive("d:");
    EXPECT_EQ(Paths(), (Log{"d:", "C:\\", "C:\\"}));
    file.unreadable = {"C:\\Locked"};
    dir.SetPath("C:\\Locked");
    EXPECT_EQ(file.Path(), "C:\\");
    EXPECT_EQ(box.Texts(), (Log{"Path not found", "Path not found"}));
    for (const auto& shown : box.shown) {
        EXPECT_EQ(shown.title, "Error!");
        EXPECT_EQ(shown.icon, Icon::Error);
    }
}

TEST_F(SendMailForm, SendBuildsBothListsInListOrderWhateverTheClickOrder) {
    const struct {
        const char* folder;
        Log entries;
        std::vector<int> clicked;
        const char *paths, *names;
    } cases[] = {
        {"D:\\Docs",
         {"a.pdf", "b.pdf"},
         {0, 1},
         "D:\\Docs\\a.pdf;D:\\Docs\\b.pdf;",
         "a.pdf;b.pdf;"},
        {"D:\\Docs",
         {"a.pdf", "b.pdf", "c.pdf"},
         {2, 0},
         "D:\\Docs\\a.pdf;D:\\Docs\\c.pdf;",
         "a.pdf;c.pdf;"},
        {"D:\\Docs", {"a.pdf", "b.pdf"}, {0}, "D:\\Docs\\a.pdf;", "a.pdf;"},
        // A root already ends in "\": the separator is added anyway.
        {"D:\\", {"a.pdf"}, {0}, "D:\\\\a.pdf;", "a.pdf;"},
        // The window does not look inside names.
        {"D:\\Docs", {"x;y.pdf"}, {0}, "D:\\Docs\\x;y.pdf;", "x;y.pdf;"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.paths);
        mapi.calls.clear();
        box.shown.clear();
        ShowFolder(c.folder, c.entries);
        file.selected = c.clicked;
        form.cmdSendMail_Click();
        EXPECT_EQ(mapi.calls, (std::vector<FakeMapi::Call>{{kWindow, ";", c.paths, c.names, 0}}));
        EXPECT_EQ(box.Texts(), Log{"The message was sent successfully."});
    }
}

TEST_F(SendMailForm, SendWithNothingSelectedAsksForASelectionAndCallsNothing) {
    for (const auto& entries : {Log{"a.pdf", "b.pdf"}, {}}) {
        box.shown.clear();
        ShowFolder("D:\\Docs", entries);
        form.cmdSendMail_Click();
        EXPECT_EQ(box.Texts(), Log{"No File selected for sending."});
        EXPECT_EQ(box.shown[0].title, "Check!");
        EXPECT_EQ(box.shown[0].icon, Icon::Information);
    }
    EXPECT_TRUE(mapi.calls.empty());
}

TEST_F(SendMailForm, SendLeavesAMissingMailLibraryOrEntryPointToItsCaller) {
    ShowFolder("D:\\Docs", {"a.pdf"});
    file.selected = {0};
    for (const std::int32_t number : {48, 453}) {
        mapi.failure = toolkit::RuntimeError(number, "Vellum", "missing");
        try {
            form.cmdSendMail_Click();
            ADD_FAILURE() << number << " did not reach the caller";
        } catch (const toolkit::RuntimeError& e) {
            EXPECT_EQ(e.Number(), number);
        }
    }
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(SendMailForm, DoubleClickOpensTheCurrentFile) {
    ShowFolder("D:\\Docs", {"a.pdf", "b.pdf"});
    file.current = 1;
    form.filePDF_DblClick();
    ShowFolder("D:\\", {"a.pdf"});
    file.current = 0;
    form.filePDF_DblClick();
    EXPECT_EQ(shell.opened, (Log{"D:\\Docs\\b.pdf", "D:\\\\a.pdf"}));
}

}  // namespace
}  // namespace vellum::mail
