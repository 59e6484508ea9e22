// The configuration window of the real vellum.exe: its layout at the screen's DPI, and what
// Save, Cancel, the close box and About do to the settings and the RedMon port.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>

#include "config/config_ids.h"
#include "e2e_support.h"
#include "toolkit/win32/strings.h"

namespace vellum::e2e {

namespace ids = config::ids;

namespace {

constexpr const char* kConfigTitle = "Configure Vellum";
constexpr const char* kSettingsKey = "SOFTWARE\\Vellum";
constexpr const char* kMissing = "<missing>";
// A port of our own, so that no other test's port is touched.
constexpr const char* kTestPort = "RPT config test:";

using Values = std::map<std::string, std::string>;

// Every value the window may store, missing ones marked.
Values StoredSettings() {
    Values values;
    for (const char* name :
         {"gsExe", "gsFonts", "gsLib", "sendMail", "defDir", "rmExe", "rmPort", "saveMode",
          "autoDir", "openPdf", "pdfQuality", "pdfA", "autoExisting", "autoName"}) {
        // As the program reads them: the user's own first.
        std::string value;
        const bool stored =
            VellumRegistry::Read("Software\\Vellum", name, value, HKEY_CURRENT_USER) ||
            VellumRegistry::Read(kSettingsKey, name, value);
        values[name] = stored ? value : kMissing;
    }
    return values;
}

std::string PortValue(const std::string& port, const std::string& name) {
    std::string value;
    return VellumRegistry::Read(RedMonPortKey(port), name, value) ? value : kMissing;
}

void ExpectWholeTextSelectedAndFocused(const Process& vellum, HWND edit) {
    const auto length = static_cast<DWORD>(Text(edit).size());
    EXPECT_EQ(EditSelection(edit), std::make_pair(DWORD{0}, length));
    WaitUntil(vellum, "the focus in " + Text(edit), [&] { return FocusedControl(vellum) == edit; });
}

class ConfigTest : public ::testing::Test {
protected:
    void SetUp() override { WriteCompleteSettings(pdfs.Path()); }
    void TearDown() override {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, win32::Widen(RedMonPortKey(kTestPort)).c_str());
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, win32::Widen(RedMonPortKey(kTestPort)).c_str());
        VellumRegistry::Reset();
    }

    HWND Open() {
        process.reset();
        process.emplace(StartVellum("-config"));
        window = WaitForWindow(vellum(), kConfigTitle);
        return window;
    }
    Process& vellum() { return *process; }
    HWND Get(int id) const { return Control(window, id); }

    // A message box that the last action brought up, read and closed.
    MessageBoxInfo Answer() {
        const MessageBoxInfo box = WaitForMessageBox(vellum());
        CloseMessageBox(box.hwnd);
        return box;
    }

    TempFolder pdfs{"vellum config pdfs"};
    std::optional<Process> process;
    HWND window = nullptr;
};

struct Twips {
    int left, top, width, height;
};

struct Placed {
    int id;
    const char* text;  // nullptr: a field, whose text is the setting it shows
    Twips position;    // left, top, width, height as the window's design gives them
    Twips container;   // where the control's container sits in the window's client area
};

}  // namespace

TEST_F(ConfigTest, EveryControlSitsWhereTheDesignPutsItAtTheScreensDpi) {
    Open();
    HDC screen = GetDC(nullptr);
    const int dpiX = GetDeviceCaps(screen, LOGPIXELSX);
    const int dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    auto x = [&](int twips) { return MulDiv(twips, dpiX, 1440); };
    auto y = [&](int twips) { return MulDiv(twips, dpiY, 1440); };

    RECT client{};
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_NEAR(client.right, x(5865), 1);
    EXPECT_NEAR(client.bottom, y(5580), 1);

    const Twips form{0, 0, 0, 0};
    const Twips tab{60, 90, 0, 0};                // the tab control: frames sit inside it
    const Twips frame{60 + 120, 90 + 420, 0, 0};  // the frames: their controls sit inside them
    const Placed controls[] = {
        {ids::kTabs, "", {60, 90, 5670, 4815}, form},
        {ids::kAbout, "&About", {165, 5055, 1380, 375}, form},
        {ids::kSave, "Sa&ve", {2670, 5055, 1380, 375}, form},
        {ids::kCancel, "&Cancel", {4335, 5055, 1380, 375}, form},
        {ids::kFrameGs, "Ghostscript Settings", {120, 420, 5420, 4230}, tab},
        {ids::kLabelGsDir, "Ghostscript Executable:", {120, 315, 1830, 285}, frame},
        {ids::kBrowseGsExe, "Bro&wse", {3750, 285, 1395, 345}, frame},
        {ids::kGsDir, nullptr, {120, 660, 5040, 285}, frame},
        {ids::kLabelGsFonts, "Ghostscript Fonts Directory:", {120, 1020, 1965, 285}, frame},
        {ids::kBrowseGsFonts, "Bro&wse", {3750, 990, 1395, 345}, frame},
        {ids::kGsFonts, nullptr, {120, 1365, 5040, 285}, frame},
        {ids::kLabelGsLib, "Ghostscript lib Directory:", {120, 1725, 1905, 285}, frame},
        {ids::kBrowseGsLib, "Bro&wse", {3750, 1710, 1395, 345}, frame},
        {ids::kGsLib, nullptr, {120, 2070, 5040, 285}, frame},
        {ids::kFrameRm, "RedMon Settings", {120, 420, 5420, 4230}, tab},
        {ids::kLabelRrExe, "RedRun Executable:", {150, 585, 1830, 285}, frame},
        {ids::kBrowseRm, "Bro&wse", {3780, 555, 1395, 345}, frame},
        {ids::kRrExe, nullptr, {150, 930, 5010, 285}, frame},
        {ids::kLabelRmPort, "RedMon Port to configure:", {150, 1290, 1965, 285}, frame},
        // The closed height of a drop-down list follows its item height; checked like the rest.
        {ids::kPorts, nullptr, {150, 1530, 5010, 315}, frame},
        {ids::kFrameVellum, "Vellum Settings", {120, 420, 5420, 4230}, tab},
        {ids::kMail, "Send PDF document by email after save", {120, 360, 3255, 285}, frame},
        {ids::kLabelPdfDir, "Default PDF Document Directory:", {120, 810, 3285, 255}, frame},
        {ids::kBrowsePdfDir, "Bro&wse", {3720, 780, 1395, 345}, frame},
        {ids::kPdfDir, nullptr, {120, 1155, 5010, 285}, frame},
        {ids::kFrameSaving, "Saving Settings", {120, 420, 5420, 4230}, tab},
        {ids::kLabelWhenPrinted, "When a document is printed:", {120, 300, 3600, 255}, frame},
        {ids::kAskWhere, "As&k where to save the PDF", {240, 570, 4800, 285}, frame},
        {ids::kSaveAuto, "Save it a&utomatically in:", {240, 855, 4800, 285}, frame},
        {ids::kAutoDir, nullptr, {480, 1185, 3600, 285}, frame},
        {ids::kBrowseAutoDir, "Bro&wse", {4170, 1155, 1095, 345}, frame},
        {ids::kLabelAutoName, "Na&me the PDF:", {480, 1590, 1230, 255}, frame},
        {ids::kAutoName, nullptr, {1740, 1560, 3525, 285}, frame},
        {ids::kAutoNameTokens,
         "<title> <user> <date> <time> <printer> <computer>",
         {480, 1875, 4785, 255},
         frame},
        {ids::kLabelExisting, "When a PDF of that name exists:", {480, 2220, 3600, 255}, frame},
        {ids::kUnique, "Save a &new one numbered (2), (3), ...", {600, 2490, 4665, 285}, frame},
        {ids::kAppend, "Add the &pages at its end", {600, 2775, 4665, 285}, frame},
        {ids::kOpenPdf, "&Open the PDF after saving", {120, 3180, 4800, 285}, frame},
        {ids::kLabelQuality, "PDF &quality:", {120, 3570, 1140, 255}, frame},
        {ids::kQuality, nullptr, {1320, 3525, 3000, 315}, frame},
        {ids::kPdfA, "PDF/A-2b for a&rchiving", {120, 3900, 4800, 285}, frame},
    };
    for (const Placed& c : controls) {
        SCOPED_TRACE("control " + std::to_string(c.id) + (c.text ? std::string(" ") + c.text : ""));
        const HWND control = Get(c.id);
        const RECT r = ClientRectInParent(control, window);
        EXPECT_NEAR(r.left, x(c.container.left + c.position.left), 1);
        EXPECT_NEAR(r.top, y(c.container.top + c.position.top), 1);
        EXPECT_NEAR(r.right - r.left, x(c.position.width), 1);
        EXPECT_NEAR(r.bottom - r.top, y(c.position.height), 1);
        if (c.text != nullptr) {
            EXPECT_EQ(Text(control), c.text);
        }
    }
    EXPECT_EQ(TabNames(Get(ids::kTabs)),
              (std::vector<std::string>{"Ghostscript", "RedMon", "Vellum", "Saving"}));
    EXPECT_EQ(CurrentTab(Get(ids::kTabs)), 0);
    // One page shows at a time: the frame of the tab in front.
    EXPECT_TRUE(IsVisible(Get(ids::kFrameGs)));
    EXPECT_FALSE(IsVisible(Get(ids::kFrameRm)));
    EXPECT_FALSE(IsVisible(Get(ids::kFrameVellum)));
    EXPECT_FALSE(IsVisible(Get(ids::kFrameSaving)));

    // Every command button has the static edge, those on the hidden tabs too; the check box is
    // no command button.
    for (int id : {ids::kSave, ids::kAbout, ids::kCancel, ids::kBrowseGsExe, ids::kBrowseGsFonts,
                   ids::kBrowseGsLib, ids::kBrowseRm, ids::kBrowsePdfDir, ids::kBrowseAutoDir}) {
        EXPECT_NE(ExStyle(Get(id)) & WS_EX_STATICEDGE, 0) << "button " << id;
        EXPECT_EQ(Style(Get(id)) & BS_DEFPUSHBUTTON, 0) << "no default button: " << id;
    }
    EXPECT_EQ(ExStyle(Get(ids::kMail)) & WS_EX_STATICEDGE, 0);

    // The dialog manager moves the focus in z-order within each container, so the children's
    // order is the tab order.
    const std::vector<std::pair<int, std::vector<int>>> tabOrder = {
        {0, {ids::kSave, ids::kAbout, ids::kTabs, ids::kCancel}},
        {ids::kTabs, {ids::kFrameGs, ids::kFrameRm, ids::kFrameVellum, ids::kFrameSaving}},
        {ids::kFrameGs,
         {ids::kGsDir, ids::kGsFonts, ids::kGsLib, ids::kBrowseGsExe, ids::kBrowseGsFonts,
          ids::kBrowseGsLib, ids::kLabelGsDir, ids::kLabelGsFonts, ids::kLabelGsLib}},
        {ids::kFrameRm,
         {ids::kRrExe, ids::kBrowseRm, ids::kLabelRrExe, ids::kLabelRmPort, ids::kPorts}},
        {ids::kFrameVellum, {ids::kMail, ids::kBrowsePdfDir, ids::kPdfDir, ids::kLabelPdfDir}},
        {ids::kFrameSaving,
         {ids::kLabelWhenPrinted, ids::kAskWhere, ids::kSaveAuto, ids::kAutoDir,
          ids::kBrowseAutoDir, ids::kLabelAutoName, ids::kAutoName, ids::kAutoNameTokens,
          ids::kLabelExisting, ids::kUnique, ids::kAppend, ids::kOpenPdf, ids::kLabelQuality,
          ids::kQuality, ids::kPdfA}},
    };
    for (const auto& [containerId, expected] : tabOrder) {
        const HWND container = containerId == 0 ? window : Get(containerId);
        std::vector<int> order;
        for (HWND child = GetWindow(container, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT))
            order.push_back(GetDlgCtrlID(child));
        EXPECT_EQ(order, expected) << "children of container " << containerId;
    }
}

TEST_F(ConfigTest, SaveWithoutGhostscriptStoresNothingAndShowsThePathOnItsTab) {
    // A missing file and a folder are both no executable.
    for (const std::string& gsExe : {pdfs.File("gswin64c.exe"), pdfs.Path()}) {
        SCOPED_TRACE(gsExe);
        const Values before = StoredSettings();
        Open();
        SelectTab(Get(ids::kTabs), 2);
        SetText(Get(ids::kGsDir), gsExe);
        SetText(Get(ids::kGsLib), "C:\\changed");
        SetText(Get(ids::kPdfDir), "C:\\changed");
        Click(Get(ids::kSave));
        EXPECT_EQ(Seen(Answer()),
                  (Shown{"Error!", "Ghostscript executable not found.", Icon::Error}));

        EXPECT_EQ(CurrentTab(Get(ids::kTabs)), 0) << "keystrokes go where the user sees them";
        EXPECT_TRUE(IsVisible(Get(ids::kGsDir)));
        ExpectWholeTextSelectedAndFocused(vellum(), Get(ids::kGsDir));
        EXPECT_EQ(StoredSettings(), before);
        EXPECT_TRUE(vellum().Running());
        vellum().Kill();
    }
}

TEST_F(ConfigTest, SaveWithAMissingRedRunStoresTheSettingsAndShowsTheRedMonTab) {
    Open();
    SetText(Get(ids::kGsFonts), "C:\\fonts");
    SelectTab(Get(ids::kTabs), 2);
    SetChecked(Get(ids::kMail), true);
    SetText(Get(ids::kRrExe), pdfs.File("redrun.exe"));
    Click(Get(ids::kSave));
    const MessageBoxInfo box = WaitForMessageBox(vellum());
    EXPECT_EQ(CurrentTab(Get(ids::kTabs)), 1) << "the RedMon tab comes forward with the message";
    CloseMessageBox(box.hwnd);
    EXPECT_EQ(Seen(box), (Shown{"Error!", "RedRun executable not found.", Icon::Error}));

    EXPECT_EQ(CurrentTab(Get(ids::kTabs)), 1);
    ExpectWholeTextSelectedAndFocused(vellum(), Get(ids::kRrExe));
    const Values stored = StoredSettings();
    EXPECT_EQ(stored.at("gsExe"), SiblingPath("gswin64c.exe"));
    EXPECT_EQ(stored.at("gsFonts"), "C:\\fonts");
    EXPECT_EQ(stored.at("gsLib"), SiblingPath("jobs"));
    EXPECT_EQ(stored.at("sendMail"), "1");
    EXPECT_EQ(stored.at("defDir"), pdfs.Path());
    EXPECT_EQ(stored.at("rmExe"), kMissing) << "the redirection is not stored";
    EXPECT_EQ(stored.at("rmPort"), kMissing);
    EXPECT_TRUE(vellum().Running());
}

TEST_F(ConfigTest, SaveWithNoPortChosenStoresTheRedirectionAndReportsNoPort) {
    Open();
    ASSERT_EQ(ComboSelection(Get(ids::kPorts)), CB_ERR);
    SetText(Get(ids::kRrExe), SiblingPath("redrun.exe"));
    Click(Get(ids::kSave));
    EXPECT_EQ(Seen(Answer()), (Shown{"Error!", "Unable to find RedMon Port", Icon::Error}));
    EXPECT_EQ(CurrentTab(Get(ids::kTabs)), 1);
    const Values stored = StoredSettings();
    EXPECT_EQ(stored.at("rmExe"), SiblingPath("redrun.exe"));
    EXPECT_EQ(stored.at("rmPort"), "");
    EXPECT_TRUE(vellum().Running());
}

TEST_F(ConfigTest, SuccessfulSaveBindsThePortAndEnds) {
    SetupPrinter("--no-printer --port \"" + std::string(kTestPort) + "\"");
    Open();
    SelectTab(Get(ids::kTabs), 1);
    const HWND ports = Get(ids::kPorts);
    const std::vector<std::string> listed = ComboItems(ports);
    ASSERT_NE(std::find(listed.begin(), listed.end(), kTestPort), listed.end());
    SelectComboItem(ports, kTestPort);
    // Another case than the file's own: the command is stored as typed, not as found.
    std::string redrun = SiblingPath("redrun.exe");
    redrun.replace(redrun.size() - 10, 10, "REDRUN.EXE");
    SetText(Get(ids::kRrExe), redrun);
    Click(Get(ids::kSave));
    EXPECT_TRUE(vellum().WaitExit(10s)) << DescribeWindows(vellum());

    EXPECT_EQ(PortValue(kTestPort, "Command"), redrun);
    EXPECT_EQ(PortValue(kTestPort, "Arguments"), "\"" + SiblingPath("vellum.exe") + "\" %%1");
    const Values stored = StoredSettings();
    EXPECT_EQ(stored.at("rmExe"), redrun);
    EXPECT_EQ(stored.at("rmPort"), kTestPort);
    EXPECT_EQ(stored.at("gsExe"), SiblingPath("gswin64c.exe"));

    // Opened again, the window shows the binding it stored.
    Open();
    EXPECT_EQ(Text(Get(ids::kRrExe)), redrun);
    EXPECT_EQ(ComboText(Get(ids::kPorts)), kTestPort);
}

TEST_F(ConfigTest, SavingTabShowsAndStoresTheSavingSettings) {
    SetupPrinter("--no-printer --port \"" + std::string(kTestPort) + "\"");
    VellumRegistry::Set("rmExe", SiblingPath("redrun.exe"));
    VellumRegistry::Set("rmPort", kTestPort);
    VellumRegistry::Set("pdfQuality", "ebook");
    Open();
    SelectTab(Get(ids::kTabs), 3);
    EXPECT_TRUE(IsVisible(Get(ids::kFrameSaving)));
    EXPECT_EQ(Text(Get(ids::kAutoDir)), pdfs.Path()) << "the default PDF folder";
    EXPECT_EQ(Text(Get(ids::kAutoName)), "<title>");
    EXPECT_EQ(std::make_pair(IsChecked(Get(ids::kUnique)), IsChecked(Get(ids::kAppend))),
              std::make_pair(true, false));
    EXPECT_EQ(ComboText(Get(ids::kQuality)), "Medium (ebook)");
    EXPECT_EQ(ComboItems(Get(ids::kQuality)),
              (std::vector<std::string>{"Default", "Smallest file (screen)", "Medium (ebook)",
                                        "High (printer)", "Highest (prepress)"}));
    SaveScreenshot(window, "config-saving");
    Click(Get(ids::kSaveAuto));
    SetChecked(Get(ids::kOpenPdf), true);
    SetChecked(Get(ids::kPdfA), true);
    SelectComboItem(Get(ids::kQuality), "Smallest file (screen)");
    SetText(Get(ids::kAutoName), " <date> <title> ");
    Click(Get(ids::kAppend));
    Click(Get(ids::kSave));
    EXPECT_TRUE(vellum().WaitExit(10s)) << DescribeWindows(vellum());
    const Values stored = StoredSettings();
    EXPECT_EQ(
        stored.at("saveMode") + stored.at("openPdf") + stored.at("pdfQuality") + stored.at("pdfA"),
        "auto1screen2")
        << "saveMode stays auto: the two option groups are apart";
    EXPECT_EQ(stored.at("autoExisting") + "|" + stored.at("autoName"), "append|<date> <title>");
    EXPECT_EQ(stored.at("autoDir"), "") << "left as shown: it follows the default PDF folder";
}

TEST_F(ConfigTest, CancelAndTheCloseBoxStoreNothing) {
    SetupPrinter("--no-printer --port \"" + std::string(kTestPort) + "\"");
    for (const bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox ? "close box" : "Cancel");
        const Values before = StoredSettings();
        Open();
        SetText(Get(ids::kGsFonts), "C:\\fonts");
        SetText(Get(ids::kRrExe), SiblingPath("redrun.exe"));
        SelectComboItem(Get(ids::kPorts), kTestPort);
        if (closeBox) {
            PostMessageW(window, WM_CLOSE, 0, 0);
        } else {
            Click(Get(ids::kCancel));
        }
        EXPECT_TRUE(vellum().WaitExit(10s)) << DescribeWindows(vellum());
        EXPECT_EQ(StoredSettings(), before);
        EXPECT_EQ(PortValue(kTestPort, "Command"), "");
        EXPECT_EQ(PortValue(kTestPort, "Arguments"), "");
    }
}

TEST_F(ConfigTest, AboutNamesTheVersion) {
    Open();
    Click(Get(ids::kAbout));
    // The version the build gave the program, written as About writes it (1.0.2 is "v1.02").
    EXPECT_EQ(Seen(Answer()),
              (Shown{"About",
                     "Vellum v" VELLUM_VERSION_MAJOR "." VELLUM_VERSION_MINOR VELLUM_VERSION_PATCH
                     " : PDF Writer for Ghostscript.\r\n"
                     "Written by the Vellum team.\r\n"
                     "Questions and reports: vellum@vellum.invalid",
                     Icon::Information}));
    EXPECT_TRUE(vellum().Running());
}

}  // namespace vellum::e2e

namespace vellum::e2e {

TEST_F(ConfigTest, ExecutablePickerFillsTheFieldAndItsCancelKeepsIt) {
    Open();
    SelectTab(Get(ids::kTabs), 1);
    Click(Get(ids::kBrowseRm));
    HWND dialog = WaitForFileDialog(vellum());
    EXPECT_EQ(DialogFileTypes(dialog),
              (std::vector<std::string>{"Executable Files (*.exe)", "All Files (*.*)"}));
    SubmitFileDialog(dialog, SiblingPath("redrun.exe"));
    WaitForWindowGone(vellum(), dialog, "the Open dialog");
    WaitUntil(vellum(), "the RedRun path in its field",
              [&] { return Text(Get(ids::kRrExe)) == SiblingPath("redrun.exe"); });

    SelectTab(Get(ids::kTabs), 0);
    SetText(Get(ids::kGsDir), "typed by hand");
    Click(Get(ids::kBrowseGsExe));
    dialog = WaitForFileDialog(vellum());
    CancelDialog(dialog);
    EXPECT_EQ(Text(Get(ids::kGsDir)), "typed by hand");
    EXPECT_THROW(WaitForMessageBox(vellum(), 500ms), DriverError) << "a cancel is silent";
}

TEST_F(ConfigTest, FolderBrowserOpensOnTheFieldsFolderElseOnDriveC) {
    Open();
    SelectTab(Get(ids::kTabs), 2);
    SetText(Get(ids::kPdfDir), "D:\\typed");
    Click(Get(ids::kBrowsePdfDir));
    HWND dialog = WaitForDialog(vellum());
    CancelDialog(dialog);
    EXPECT_EQ(Text(Get(ids::kPdfDir)), "D:\\typed");

    // The dialog names what it asks for, opens on C:\ and shows the selected path; OK takes it.
    Click(Get(ids::kBrowsePdfDir));
    dialog = WaitForDialog(vellum());
    constexpr int kTitleLine = 0x3742;
    constexpr int kStatusLine = 0x3743;
    EXPECT_EQ(Text(Control(dialog, kTitleLine)), "Select Default PDF Document Directory");
    WaitUntil(vellum(), "the selected path in the status line",
              [&] { return Text(Control(dialog, kStatusLine)) == "C:\\"; });
    PressDialogButton(dialog, IDOK);
    WaitForWindowGone(vellum(), dialog, "the folder browser");
    WaitUntil(vellum(), "the chosen folder in its field",
              [&] { return Text(Get(ids::kPdfDir)) == "C:\\"; });

    SetText(Get(ids::kPdfDir), "C:\\windows\\system32");
    Click(Get(ids::kBrowsePdfDir));
    dialog = WaitForDialog(vellum());
    WaitUntil(vellum(), "the field's folder selected", [&] {
        return _stricmp(Text(Control(dialog, kStatusLine)).c_str(), "C:\\windows\\system32") == 0;
    });
    CancelDialog(dialog);
}

}  // namespace vellum::e2e
