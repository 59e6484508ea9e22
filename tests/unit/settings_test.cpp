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

using Texts = std::vector<std::string>;

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
    Texts ReadOrder() const {
        Texts names;
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

const Texts kEverySetting{"gsExe",     "gsFonts",      "gsLib",   "sendMail",   "defDir",
                          "autoDir",   "saveMode",     "openPdf", "pdfQuality", "pdfA",
                          "gsTimeout", "autoExisting", "autoName"};

// A stale Ghostscript path used to stop the load before the rest was read: the window then
// showed them blank, and its save wiped them. Every row reads every setting.
TEST_F(SettingsTest, LoadReadsEverySettingAndOpensTheWindowOnTheFirstGap) {
    const struct {
        const char* arrange;  // "" complete, "none" no key at all, "stale" no executable, else
        const char* value;    // the value given to that setting, nullptr to remove it
        int focus;            // the field the window opens on, -1 for none
    } rows[] = {{"", nullptr, -1},     {"none", nullptr, 0},  {"stale", nullptr, 0},
                {"gsLib", "   ", 1},   {"gsLib", nullptr, 1}, {"gsFonts", nullptr, -1},
                {"defDir", nullptr, 2}};
    for (const auto& row : rows) {
        const std::string arrange = row.arrange;
        SCOPED_TRACE(arrange + (row.value ? " set" : ""));
        Settings = {};
        registry.values.clear();
        registry.calls.clear();
        window.log.clear();
        box.shown.clear();
        if (arrange != "none") Complete();
        if (arrange == "stale") files.files.clear();  // a directory, a hidden file or nothing
        if (row.value) registry.Set(kKey, row.arrange, row.value);
        if (!row.value && arrange != "none" && arrange != "stale" && !arrange.empty())
            registry.values.erase({kKey, arrange});
        const bool dir = row.focus == 2;
        EXPECT_EQ(Load(), row.focus < 0 ? SettingsState::Complete : SettingsState::Incomplete);
        EXPECT_EQ(box.Texts(), row.focus < 0 ? Texts{}
                               : dir         ? Texts{"PDF default directory not set."}
                                             : Texts{"Vellum Configuration Error."});
        if (row.focus >= 0) {
            EXPECT_EQ(box.shown[0].title, dir ? "Configuration Error!" : "Error!");
            EXPECT_EQ(box.shown[0].icon, toolkit::Icon::Information);
            EXPECT_EQ(window.log, (Texts{"show", dir ? "tab 2" : "tab 0",
                                         "focus " + std::to_string(row.focus)}));
        } else {
            EXPECT_TRUE(window.log.empty());
        }
        EXPECT_EQ(ReadOrder(), kEverySetting);
        EXPECT_EQ(registry.alive, 0) << "released before the window makes its own";
        if (arrange != "none" && arrange != "defDir") {
            EXPECT_EQ((Texts{Settings.gsExe, Settings.sendMail, Settings.defDir}),
                      (Texts{kGs, "0", "C:\\PDF"}))
                << "read all the same";
        }
    }
}

TEST_F(SettingsTest, ComponentFailureShowsTheLongReportAndKeepsWhatWasRead) {
    Complete();
    registry.throwingReads.insert({kKey, "sendMail"});
    EXPECT_EQ(Load(), SettingsState::Unreadable);
    EXPECT_EQ(box.Texts(),
              Texts{"Error: -2147024891   Source: Vellum.RegistryAccess\r\nAccess is denied."});
    EXPECT_EQ(box.shown[0].title, "Error");
    EXPECT_EQ(Settings.gsLib, "C:\\gs\\lib");
    EXPECT_TRUE(window.log.empty());
}

TEST_F(SettingsTest, SaveWritesEveryValueInOrderAndReportsAFailure) {
    Settings = {"a.exe", "fonts", "lib", "1", "C:\\PDF"};
    EXPECT_TRUE(SaveSettings(Settings, factory, box));
    Texts written = kEverySetting;
    written.erase(std::find(written.begin(), written.end(), "gsTimeout"));
    EXPECT_EQ(registry.Writes(), written) << "a machine policy is never written";
    EXPECT_EQ(registry.Get(kUserKey, "sendMail"), "1");
    EXPECT_TRUE(box.shown.empty());

    registry.failingWrites.insert({kUserKey, "sendMail"});
    EXPECT_FALSE(SaveSettings(Settings, factory, box));
    EXPECT_EQ(box.Texts(), Texts{"Vellum settings could not be saved."});
    EXPECT_EQ(box.shown[0].title, "Error!");
    EXPECT_EQ(box.shown[0].icon, toolkit::Icon::Error);

    factory.failCreate = true;  // without the component: the long report
    EXPECT_FALSE(SaveSettings(Settings, factory, box));
    EXPECT_EQ(box.shown.back().title, "Error");
    EXPECT_EQ(box.shown.back().text.rfind("Error: 429   Source: Vellum\r\n", 0), 0u);
}

TEST_F(SettingsTest, SavingChoicesTakeTheirDefaultWhenMissingOrUnknown) {
    Complete();
    registry.Set(kKey, "saveMode", " AUTO ");
    registry.Set(kKey, "openPdf", "yes");
    registry.Set(kKey, "pdfQuality", "ebook");
    registry.Set(kKey, "pdfA", "3");
    EXPECT_EQ(Load(), SettingsState::Complete);
    EXPECT_EQ((Texts{Settings.saveMode, Settings.openPdf, Settings.pdfQuality, Settings.pdfA}),
              (Texts{"auto", "0", "ebook", "0"}));
    settings::SettingsRecord raw{"", "", "", "", "", "always", "", "", "/screen", ""};
    EXPECT_EQ(settings::NormaliseSavingChoices(raw),
              (Texts{"saveMode=always", "pdfQuality=/screen"}));
    EXPECT_EQ(raw.pdfQuality, "default");
}

TEST_F(SettingsTest, UserSettingsComeFromHkcuFirstMachineSettingsOnlyFromHklm) {
    const struct {
        const char* name;
        const char* user;     // in HKCU, nullptr for none
        const char* machine;  // in HKLM
        const char* read;
    } rows[] = {
        {"defDir", "D:\\Mine", "C:\\PDF", "D:\\Mine"},
        {"defDir", nullptr, "C:\\PDF", "C:\\PDF"},
        {"sendMail", "0", "1", "0"},
        {"autoDir", "%USERPROFILE%\\Auto", nullptr, "%USERPROFILE%\\Auto"},
        {"gsExe", "C:\\mine\\gs.exe", kGs, kGs},
        {"gsTimeout", "5", "30", "30"},
        {"gsTimeout", "5", nullptr, "600"},
    };
    for (const auto& row : rows) {
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
    Texts refused;
    EXPECT_TRUE(SaveSettings(Settings, factory, box, &refused)) << "the caller may elevate";
    EXPECT_EQ(refused, Texts{"gsLib"});
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
    for (const auto& [text, trimmed] : std::vector<std::pair<std::string, std::string>>{
             {"  1 ", "1"}, {"\t1", "\t1"}, {"   ", ""}, {"", ""}})
        EXPECT_EQ(toolkit::TrimSpaces(text), trimmed);
}

}  // namespace vellum::startup
