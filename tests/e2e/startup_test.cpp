// Start-up of the real vellum.exe: the command line's modes and the settings check.

#include <gtest/gtest.h>

#include <cstdint>
#include <regex>

#include "config/config_ids.h"
#include "e2e_support.h"

namespace vellum::e2e {

namespace ids = config::ids;

namespace {

constexpr const char* kConfigTitle = "Configure Vellum";

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override { VellumRegistry::Reset(); }
    void TearDown() override { VellumRegistry::Reset(); }
};

void ExpectFocusOn(const Process& vellum, HWND window, int id) {
    WaitUntil(vellum, "the focus in control " + std::to_string(id), [&] {
        const HWND focused = FocusedControl(vellum);
        return focused != nullptr && focused == FindControl(window, id);
    });
}

}  // namespace

TEST_F(StartupTest, NoSettingsAtAllAsksToConfigureGhostscript) {
    Process vellum = StartVellum("-config");
    const MessageBoxInfo box = WaitForMessageBox(vellum);
    EXPECT_EQ(Seen(box), (Shown{"Error!", "Vellum Configuration Error.", Icon::Information}));
    CloseMessageBox(box.hwnd);

    const HWND window = WaitForWindow(vellum, kConfigTitle);
    EXPECT_EQ(CurrentTab(Control(window, ids::kTabs)), 0);
    ExpectFocusOn(vellum, window, ids::kGsDir);
    Click(Control(window, ids::kCancel));
    EXPECT_TRUE(vellum.WaitExit(10s));
    EXPECT_FALSE(VellumRegistry::Exists("SOFTWARE\\Vellum", "gsExe")) << "Cancel stores nothing";
}

TEST_F(StartupTest, MissingDefaultFolderOpensTheVellumTab) {
    WriteCompleteSettings("");
    Process vellum = StartVellum("-config");
    const MessageBoxInfo box = WaitForMessageBox(vellum);
    EXPECT_EQ(Seen(box),
              (Shown{"Configuration Error!", "PDF default directory not set.", Icon::Information}));
    CloseMessageBox(box.hwnd);

    const HWND window = WaitForWindow(vellum, kConfigTitle);
    EXPECT_EQ(CurrentTab(Control(window, ids::kTabs)), 2);
    EXPECT_TRUE(IsVisible(Control(window, ids::kPdfDir)));
    ExpectFocusOn(vellum, window, ids::kPdfDir);
}

TEST_F(StartupTest, ConfigureModeForEveryWayOfAskingInAnyCase) {
    TempFolder pdfs("pdfs");
    WriteCompleteSettings(pdfs.Path());
    for (const char* tail : {"-config", "", "\"-config\"", "-CONFIG"}) {
        SCOPED_TRACE(std::string("command line tail: ") + tail);
        Process vellum = StartVellum(tail);
        const HWND window = WaitForWindow(vellum, kConfigTitle);
        EXPECT_EQ(TabNames(Control(window, ids::kTabs)),
                  (std::vector<std::string>{"Ghostscript", "RedMon", "Vellum", "Saving"}));
        EXPECT_EQ(Text(Control(window, ids::kGsDir)), SiblingPath("gswin64c.exe"));
        Click(Control(window, ids::kCancel));
        EXPECT_TRUE(vellum.WaitExit(10s));
    }
}

TEST_F(StartupTest, MailModeOpensTheSendMailWindow) {
    TempFolder pdfs("pdfs");
    WriteCompleteSettings(pdfs.Path());
    Process vellum = StartVellum("-Mail");
    const HWND window = WaitForWindow(vellum, "Send PDF by eMail");
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(vellum.WaitExit(10s));
}

TEST_F(StartupTest, ProgramCopiedWithoutItsRegistryComponentSaysWhatIsMissing) {
    TempFolder bin("vellum without component");
    CopyFileTo(SiblingPath("vellum.exe"), bin.File("vellum.exe"));
    Process vellum = Process::Start(bin.File("vellum.exe"), "-config");

    // The settings load reports in the long form. Which error the system gives for the missing
    // component is its own (Wine: access denied); its number and wording must agree.
    const MessageBoxInfo load = WaitForMessageBox(vellum);
    EXPECT_EQ(load.title, "Error");
    EXPECT_EQ(load.icon, Icon::Error);
    EXPECT_EQ(load.buttons, std::vector<std::string>{"OK"});
    const std::regex longForm(
        "Error: (-[0-9]+)   Source: Vellum\r\n"
        "(The registry component VellumRegistry\\.dll could not be created: .+ "
        "\\(0x([0-9A-F]{8})\\)\\. Make sure VellumRegistry\\.dll is in the program folder next "
        "to vellum\\.exe\\.)");
    std::smatch parts;
    ASSERT_TRUE(std::regex_match(load.text, parts, longForm)) << load.text;
    EXPECT_EQ(static_cast<std::uint32_t>(std::stol(parts[1].str())),
              std::stoul(parts[3].str(), nullptr, 16))
        << load.text;
    CloseMessageBox(load.hwnd);

    // The window's load fails the same way and reaches Main's trap: the short form.
    const MessageBoxInfo window = WaitForMessageBox(vellum);
    EXPECT_EQ(Seen(window), (Shown{"Error!", parts[1].str() + ": " + parts[2].str(), Icon::Error}));
    CloseMessageBox(window.hwnd);
    EXPECT_TRUE(vellum.WaitExit(10s)) << "no window is left to keep the program alive";
}

}  // namespace vellum::e2e
