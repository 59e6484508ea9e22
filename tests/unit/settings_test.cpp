#include "settings/settings.h"
#include "startup/load_settings.h"
#include "toolkit/text.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/fake_file_system.h"
#include "fakes/fake_msg_box.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_startup.h"

namespace vellum::startup {

using settings::SaveSettings;
using settings::Settings;

namespace {

constexpr const char* kKey = "SOFTWARE\\Vellum";
constexpr const char* kUserKey = "HKCU\\Software\\Vellum";
constexpr const char* kGs = "C:\\gs\\bin\\gswin64c.exe";

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override { Settings = {}; }
    void Complete() {
        registry.Set(kKey, "gsExe", kGs);
        registry.Set(kKey, "gsFonts", "C:\\gs\\fonts");
        registry.Set(kKey, "gsLib", "C:\\gs\\lib");
        registry.Set(kKey, "sendMail", "0");
        registry.Set(kKey, "defDir", "C:\\PDF");
        files.files.insert(kGs);
    }
    SettingsState Load() {
        SettingsServices services{factory, files, box, window};
        return LoadSettings(services);
    }
    std::vector<std::string> ReadOrder() const {
        std::vector<std::string> names;
        for (const auto& c : registry.calls)
            if (c.keyPath == kKey) names.push_back(c.valueName);
        return names;
    }

    FakeRegistry registry;
    FakeRegistryFactory factory{registry};
    FakeFileSystem files;
    FakeMsgBox box;
    FakeConfigWindow window;
};

}  // namespace

const std::vector<std::string> kEverySetting{
    "gsExe",   "gsFonts",    "gsLib", "sendMail",  "defDir",       "autoDir", "saveMode",
    "openPdf", "pdfQuality", "pdfA",  "gsTimeout", "autoExisting", "autoName"};

TEST_F(SettingsTest, CompleteSettingsAreReadInOrderSilently) {
    Complete();
    EXPECT_EQ(Load(), SettingsState::Complete);
    EXPECT_EQ(ReadOrder(), kEverySetting);
    EXPECT_TRUE(box.shown.empty());
    EXPECT_TRUE(window.log.empty());
    EXPECT_EQ(Settings.defDir, "C:\\PDF");
    EXPECT_EQ(registry.alive, 0) << "the instance is released";
}

TEST_F(SettingsTest, NoKeyAtAllOpensTheGhostscriptTabOnTheExecutable) {
    EXPECT_EQ(Load(), SettingsState::Incomplete);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text, "Vellum Configuration Error.");
    EXPECT_EQ(box.shown[0].title, "Error!");
    EXPECT_EQ(box.shown[0].icon, toolkit::Icon::Information);
    EXPECT_EQ(window.log, (std::vector<std::string>{"show", "tab 0", "focus 0"}));
    EXPECT_EQ(ReadOrder(), kEverySetting);
    EXPECT_EQ(registry.alive, 0) << "released before the window makes its own";
}

// A stale Ghostscript path used to stop the load before the rest was read: the window then
// showed them blank, and its save wiped them.
TEST_F(SettingsTest, StaleExecutableStillReadsEverySettingForTheWindow) {
    Complete();
    registry.Set(kKey, "sendMail", "1");
    files.files.clear();  // a directory, a hidden file or nothing: the file system says no
    EXPECT_EQ(Load(), SettingsState::Incomplete);
    EXPECT_EQ(window.log, (std::vector<std::string>{"show", "tab 0", "focus 0"}));
    EXPECT_EQ(ReadOrder(), kEverySetting);
    EXPECT_EQ(Settings.gsExe, kGs);
    EXPECT_EQ(Settings.gsFonts, "C:\\gs\\fonts");
    EXPECT_EQ(Settings.gsLib, "C:\\gs\\lib");
    EXPECT_EQ(Settings.sendMail, "1");
    EXPECT_EQ(Settings.defDir, "C:\\PDF");
}

TEST_F(SettingsTest, BlankOrMissingLibFocusesTheLibField) {
    for (bool missing : {false, true}) {
        SCOPED_TRACE(missing ? "missing" : "spaces only");
        registry.values.clear();
        window.log.clear();
        box.shown.clear();
        Complete();
        if (missing)
            registry.values.erase({kKey, "gsLib"});
        else
            registry.Set(kKey, "gsLib", "   ");
        EXPECT_EQ(Load(), SettingsState::Incomplete);
        ASSERT_EQ(box.shown.size(), 1u);
        EXPECT_EQ(box.shown[0].text, "Vellum Configuration Error.");
        EXPECT_EQ(window.log, (std::vector<std::string>{"show", "tab 0", "focus 1"}));
        EXPECT_EQ(Settings.defDir, "C:\\PDF") << "read all the same";
    }
}

TEST_F(SettingsTest, EmptyFontsIsAcceptedAndMissingDefDirOpensTheVellumTab) {
    Complete();
    registry.values.erase({kKey, "gsFonts"});
    registry.values.erase({kKey, "defDir"});
    EXPECT_EQ(Load(), SettingsState::Incomplete);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text, "PDF default directory not set.");
    EXPECT_EQ(box.shown[0].title, "Configuration Error!");
    EXPECT_EQ(box.shown[0].icon, toolkit::Icon::Information);
    EXPECT_EQ(window.log, (std::vector<std::string>{"show", "tab 2", "focus 2"}));
}

TEST_F(SettingsTest, ComponentFailureShowsTheLongReportAndKeepsWhatWasRead) {
    Complete();
    registry.throwingReads.insert({kKey, "sendMail"});
    EXPECT_EQ(Load(), SettingsState::Unreadable);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text,
              "Error: -2147024891   Source: Vellum.RegistryAccess\r\nAccess is denied.");
    EXPECT_EQ(box.shown[0].title, "Error");
    EXPECT_EQ(Settings.gsLib, "C:\\gs\\lib");
    EXPECT_TRUE(window.log.empty());
}

TEST_F(SettingsTest, SaveWritesFiveValuesInOrderAndReportsAFailedWrite) {
    Settings = {"a.exe", "fonts", "lib", "1", "C:\\PDF"};
    EXPECT_TRUE(SaveSettings(Settings, factory, box));
    std::vector<std::string> written = kEverySetting;
    written.erase(std::find(written.begin(), written.end(), "gsTimeout"));
    EXPECT_EQ(registry.Writes(), written) << "a machine policy is never written";
    EXPECT_EQ(registry.Get(kUserKey, "sendMail"), "1");
    EXPECT_TRUE(box.shown.empty());

    registry.failingWrites.insert({kUserKey, "sendMail"});
    EXPECT_FALSE(SaveSettings(Settings, factory, box));
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text, "Vellum settings could not be saved.");
    EXPECT_EQ(box.shown[0].title, "Error!");
    EXPECT_EQ(box.shown[0].icon, toolkit::Icon::Error);
}

TEST_F(SettingsTest, SavingChoicesTakeTheirDefaultWhenMissingOrUnknown) {
    Complete();
    registry.Set(kKey, "saveMode", " AUTO ");
    registry.Set(kKey, "openPdf", "yes");
    registry.Set(kKey, "pdfQuality", "ebook");
    registry.Set(kKey, "pdfA", "3");
    EXPECT_EQ(Load(), SettingsState::Complete);
    EXPECT_EQ(std::vector<std::string>(
                  {Settings.saveMode, Settings.openPdf, Settings.pdfQuality, Settings.pdfA}),
              std::vector<std::string>({"auto", "0", "ebook", "0"}));
    settings::SettingsRecord raw{"", "", "", "", "", "always", "", "", "/screen", ""};
    EXPECT_EQ(settings::NormaliseSavingChoices(raw),
              std::vector<std::string>({"saveMode=always", "pdfQuality=/screen"}));
    EXPECT_EQ(raw.pdfQuality, "default");
}

TEST_F(SettingsTest, SaveWithoutComponentIsALongReportAndFalse) {
    factory.failCreate = true;
    EXPECT_FALSE(SaveSettings(Settings, factory, box));
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].title, "Error");
    EXPECT_EQ(box.shown[0].text.rfind("Error: 429   Source: Vellum\r\n", 0), 0u);
}

TEST_F(SettingsTest, UserSettingsComeFromHkcuFirstMachineSettingsOnlyFromHklm) {
    struct Row {
        const char* name;
        const char* user;     // in HKCU, nullptr for none
        const char* machine;  // in HKLM
        std::string read;
    };
    const Row rows[] = {
        {"defDir", "D:\\Mine", "C:\\PDF", "D:\\Mine"},
        {"defDir", nullptr, "C:\\PDF", "C:\\PDF"},
        {"sendMail", "0", "1", "0"},
        {"autoDir", "%USERPROFILE%\\Auto", nullptr, "%USERPROFILE%\\Auto"},
        {"gsExe", "C:\\mine\\gs.exe", kGs, kGs},
        {"gsTimeout", "5", "30", "30"},
        {"gsTimeout", "5", nullptr, "600"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.name) + (row.user ? " in HKCU" : ""));
        Settings = {};
        registry.values.clear();
        Complete();
        if (row.machine) registry.Set(kKey, row.name, row.machine);
        if (row.user) registry.Set(kUserKey, row.name, row.user);
        Load();
        for (const auto& entry : settings::kSettingEntries)
            if (entry.name == std::string(row.name)) {
                EXPECT_EQ(Settings.*entry.field, row.read);
            }
    }
}

TEST_F(SettingsTest, SaveWritesUserSettingsToHkcuAndOnlyChangedMachineSettings) {
    Complete();
    Load();
    registry.calls.clear();
    Settings.defDir = "D:\\Mine";
    EXPECT_TRUE(SaveSettings(Settings, factory, box));
    for (const auto& call : registry.calls)
        if (call.op == "write") {
            EXPECT_EQ(call.keyPath, kUserKey) << call.valueName;
        }
    EXPECT_EQ(registry.Get(kUserKey, "defDir"), "D:\\Mine");
    EXPECT_EQ(registry.Get(kKey, "defDir"), "C:\\PDF") << "the machine's default stays";

    Settings.gsLib = "C:\\gs10\\lib";
    registry.machineReadOnly = true;
    std::vector<std::string> refused;
    EXPECT_TRUE(SaveSettings(Settings, factory, box, &refused)) << "the caller may elevate";
    EXPECT_EQ(refused, std::vector<std::string>{"gsLib"});
    EXPECT_FALSE(SaveSettings(Settings, factory, box)) << "without a caller to elevate";
    EXPECT_EQ(box.shown.back().text, "Vellum settings could not be saved.");
}

TEST(GsTimeout, IsWholeSecondsElseItsDefault) {
    const std::pair<const char*, int> rows[] = {{"", 600},           {"0", 0},         {" 30 ", 30},
                                                {"abc", 600},        {"-5", 600},      {"1.5", 600},
                                                {"9999999", 604800}, {"99999999", 600}};
    for (const auto& [text, seconds] : rows) {
        settings::SettingsRecord record;
        record.gsTimeout = text;
        EXPECT_EQ(settings::GsTimeoutSeconds(record), seconds) << text;
    }
}

TEST(TrimSpaces, RemovesSpacesOnly) {
    EXPECT_EQ(toolkit::TrimSpaces("  1 "), "1");
    EXPECT_EQ(toolkit::TrimSpaces("\t1"), "\t1");
    EXPECT_EQ(toolkit::TrimSpaces("   "), "");
    EXPECT_EQ(toolkit::TrimSpaces(""), "");
}

}  // namespace vellum::startup
