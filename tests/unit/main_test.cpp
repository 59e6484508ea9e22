#include "startup/main.h"

#include <gtest/gtest.h>

#include "fakes/fake_file_system.h"
#include "fakes/fake_msg_box.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_startup.h"
#include "startup/prompt.h"
#include "settings/settings.h"

namespace vellum::startup {

using settings::Settings;

namespace {

constexpr const char* kKey = "SOFTWARE\\Vellum";

class MainTest : public ::testing::Test {
protected:
    void SetUp() override {
        Settings = {};
        registry.Set(kKey, "gsExe", "C:\\gs\\gswin64c.exe");
        registry.Set(kKey, "gsLib", "C:\\gs\\lib");
        registry.Set(kKey, "sendMail", "0");
        registry.Set(kKey, "defDir", "C:\\PDF");
        files.files.insert("C:\\gs\\gswin64c.exe");
    }
    AfterMain Run(const std::string& tail) { return Main(services, tail); }
    void ChooseSaveAs(const std::string& path) {
        config.dialogs.answers.push_back(path);
        files.files.insert(path);
    }

    FakeRegistry registry;
    FakeRegistryFactory factory{registry};
    FakeFileSystem files;
    FakeMsgBox box;
    FakeProcessRunner runner;
    FakeConfigWindow config;
    FakeSendMailWindow sendMail;
    FakeMapi mapi;
    FakeEventPump events;
    Services services{factory, files, box, runner, config, sendMail, mapi, events};
};

}  // namespace

TEST_F(MainTest, ConfigureAndMailModesShowTheirWindowAndKeepRunning) {
    EXPECT_EQ(Run(""), AfterMain::RunMessageLoop);
    EXPECT_EQ(config.log, (std::vector<std::string>{"show"}));
    EXPECT_EQ(Run("\"-config\""), AfterMain::RunMessageLoop);
    EXPECT_EQ(Run("-mail"), AfterMain::RunMessageLoop);
    EXPECT_EQ(sendMail.shown, 1);
    EXPECT_TRUE(runner.commandLines.empty());
}

TEST_F(MainTest, ConvertPromptsInTheDefaultFolderConvertsAndEnds) {
    ChooseSaveAs("C:\\PDF\\report.pdf");
    EXPECT_EQ(Run(R"("C:\spool\job 12.ps")"), AfterMain::EndProgram);
    EXPECT_EQ(events.pumped, 1);
    ASSERT_EQ(config.dialogs.shown.size(), 1u);
    const auto& [kind, request] = config.dialogs.shown[0];
    EXPECT_EQ(kind, "save");
    EXPECT_EQ(request.title, "Save As");
    EXPECT_EQ(request.initDir, "C:\\PDF");
    EXPECT_EQ(request.flags, 2u);
    EXPECT_EQ(request.defaultExt, "pdf") << "a name typed without extension gets .pdf";
    ASSERT_EQ(request.filters.size(), 2u);
    EXPECT_EQ(request.filters[0],
              (std::pair<std::string, std::string>{"Adobe PDF Files (*.pdf)", "*.pdf"}));
    ASSERT_EQ(runner.commandLines.size(), 1u);
    EXPECT_NE(runner.commandLines[0].find(R"(-f "C:\spool\job 12.ps")"), std::string::npos);
    EXPECT_TRUE(box.shown.empty());
    EXPECT_TRUE(mapi.calls.empty());
}

TEST_F(MainTest, CancelledPromptEndsSilentlyWithoutConverting) {
    EXPECT_EQ(Run("job.ps"), AfterMain::EndProgram);
    EXPECT_TRUE(runner.commandLines.empty());
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(MainTest, MailGoesOutOnlyForOneAndOnlyAfterASuccessfulConversion) {
    registry.Set(kKey, "sendMail", " 1 ");
    ChooseSaveAs("C:\\PDF\\report.pdf");
    Run("job.ps");
    ASSERT_EQ(mapi.calls.size(), 1u);
    EXPECT_EQ(mapi.calls[0].uiParam, 0u);
    EXPECT_EQ(mapi.calls[0].delimiter, ";");
    EXPECT_EQ(mapi.calls[0].paths, "C:\\PDF\\report.pdf");
    EXPECT_EQ(mapi.calls[0].names, "report.pdf");
    EXPECT_EQ(box.shown.back().title, "Success!");

    mapi.calls.clear();
    runner.result = {true, 1, "boom", ""};
    config.dialogs.answers.push_back("C:\\PDF\\second.pdf");
    Run("job.ps");
    EXPECT_TRUE(mapi.calls.empty()) << "a failed conversion is not mailed";

    registry.Set(kKey, "sendMail", "yes");
    runner.result = {true, 0, "", ""};
    ChooseSaveAs("C:\\PDF\\third.pdf");
    Run("job.ps");
    EXPECT_TRUE(mapi.calls.empty());
}

TEST_F(MainTest, MissingMailLibraryOrEntryPointIsAShortReportAndTheJobEnds) {
    registry.Set(kKey, "sendMail", "1");
    const toolkit::RuntimeError failures[] = {
        {48, "Vellum", "File not found: MAPI32.DLL"},
        {453, "Vellum", "Can't find DLL entry point MAPISendDocuments in MAPI32.DLL"}};
    for (const toolkit::RuntimeError& failure : failures) {
        SCOPED_TRACE(failure.Number());
        box.shown.clear();
        mapi.failure = failure;
        ChooseSaveAs("C:\\PDF\\report.pdf");
        EXPECT_EQ(Run("job.ps"), AfterMain::EndProgram);
        ASSERT_EQ(box.shown.size(), 1u);
        EXPECT_EQ(box.shown[0].text,
                  std::to_string(failure.Number()) + ": " + failure.Description());
        EXPECT_EQ(box.shown[0].title, "Error!");
        EXPECT_EQ(box.shown[0].icon, toolkit::Icon::Error);
    }
}

TEST_F(MainTest, IncompleteSettingsShowTheWindowThenStillPrompt) {
    registry.values.erase({kKey, "defDir"});
    Run("job.ps");
    EXPECT_EQ(config.log, (std::vector<std::string>{"show", "tab 2", "focus 2", "dlg"}));
}

TEST_F(MainTest, WindowThatCannotLoadIsReportedOnceByEachTrap) {
    config.failLoad = true;
    registry.values.clear();  // LoadSettings opens the window, whose load fails
    EXPECT_EQ(Run("job.ps"), AfterMain::EndProgram);
    ASSERT_EQ(box.shown.size(), 3u);
    EXPECT_EQ(box.shown[1].title, "Error") << "LoadSettings' own trap: the long form";
    EXPECT_EQ(box.shown[2].text, "429: The registry component could not be created.")
        << "the prompt's short form";
}

TEST(Prompt, OnlyTheUsersCancelIsSilent) {
    FakeConfigWindow config;
    FakeMsgBox box;
    EXPECT_EQ(PromptForPdfPath(config, box, ""), "");
    EXPECT_TRUE(box.shown.empty());

    config.dialogs.fail = true;
    EXPECT_EQ(PromptForPdfPath(config, box, ""), "");
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text, "20477: The file dialog failed.");
    EXPECT_EQ(box.shown[0].title, "Error!");

    config.failLoad = true;
    EXPECT_EQ(PromptForPdfPath(config, box, ""), "");
    ASSERT_EQ(box.shown.size(), 2u);
    EXPECT_EQ(box.shown[1].title, "Error!");
}

TEST(Prompt, AsksForAPdfAndLeavesNoDefaultExtensionForTheWindowsOwnPickers) {
    FakeConfigWindow config;
    FakeMsgBox box;
    config.dialogs.answers.push_back("C:\\PDF\\report.pdf");
    EXPECT_EQ(PromptForPdfPath(config, box, "C:\\PDF"), "C:\\PDF\\report.pdf");
    ASSERT_EQ(config.dialogs.shown.size(), 1u);
    EXPECT_EQ(config.dialogs.shown[0].first, "save");
    EXPECT_EQ(config.dialogs.shown[0].second.defaultExt, "pdf");
    EXPECT_EQ(config.dialogs.shown[0].second.initDir, "C:\\PDF");
    EXPECT_EQ(config.dlg.DefaultExt, "") << "after a successful Save As";

    EXPECT_EQ(PromptForPdfPath(config, box, ""), "");  // cancelled
    EXPECT_EQ(config.dlg.DefaultExt, "") << "after a cancel";
}

TEST(FileNameOf, IsTheTextAfterTheLastBackslash) {
    EXPECT_EQ(FileNameOf(R"(C:\PDF\report.pdf)"), "report.pdf");
    EXPECT_EQ(FileNameOf("report.pdf"), "report.pdf");
    EXPECT_EQ(FileNameOf(R"(C:\PDF\)"), "");
}

}  // namespace vellum::startup
