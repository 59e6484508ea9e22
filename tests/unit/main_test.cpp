#include "startup/main.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/fake_file_system.h"
#include "fakes/fake_msg_box.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_setup.h"
#include "fakes/fake_startup.h"
#include "config/machine_part.h"
#include "startup/job_file.h"
#include "startup/job_log.h"
#include "startup/prompt.h"
#include "startup/saving_plan.h"
#include "settings/settings.h"

namespace vellum::startup {

using config::ConfigOutcome;
using settings::Settings;

namespace {

constexpr const char* kKey = "SOFTWARE\\Vellum";
constexpr const char* kWrittenPdf = "%PDF-1.4\nstartxref\n0\n%%EOF\n";  // what gs writes
constexpr const char* kJob = "C:\\work\\job.ps";                        // "job.ps" made full
constexpr const char* kLog = "C:\\ProgramData\\Vellum\\vellum.log";

class MainTest : public ::testing::Test {
protected:
    void SetUp() override {
        Settings = {};
        question.otherwise = 0;  // an existing PDF is replaced, unless a test says otherwise
        registry.Set(kKey, "gsExe", "C:\\gs\\gswin64c.exe");
        registry.Set(kKey, "gsLib", "C:\\gs\\lib");
        registry.Set(kKey, "sendMail", "0");
        registry.Set(kKey, "defDir", "C:\\PDF");
        files.files = {"C:\\gs\\gswin64c.exe", kJob, "C:\\spool\\job 12.ps"};
        files.folders = {"C:\\PDF", "C:\\gs\\lib"};
        // Ghostscript's part: a run writes its PDF.
        runner.onRun = [this](const std::string& line) {
            files.Write(OutputFileOf(line), kWrittenPdf);
        };
    }
    MainResult Run(const std::string& tail) { return Main(services, tail); }
    void ChooseSaveAs(const std::string& path) {
        config.dialogs.answers.push_back(path);
        files.files.insert(path);
    }
    std::string SaveAsFolder() const {
        return config.dialogs.shown.empty() ? "<no Save As>"
                                            : config.dialogs.shown.back().second.initDir;
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
    FakeProgressWindow progress;
    FakeProcessEnvironment environment;
    FakeSession session;
    FakeMachineRegistry machine;
    FakePdfViewer viewer;
    FakeTaskDialog question;
    Services services{factory,  files,       box,     runner,   config,
                      sendMail, mapi,        events,  progress, config.dialogs,
                      question, environment, session, machine,  viewer};
};

}  // namespace

TEST_F(MainTest, ConfigureAndMailModesShowTheirWindowAndKeepRunning) {
    EXPECT_EQ(Run("").after, AfterMain::RunMessageLoop);
    EXPECT_EQ(config.log, (std::vector<std::string>{"show"}));
    EXPECT_EQ(Run("\"-config\"").after, AfterMain::RunMessageLoop);
    EXPECT_EQ(Run("-CONFIG").after, AfterMain::RunMessageLoop);
    EXPECT_EQ(Run("-Mail").after, AfterMain::RunMessageLoop);
    EXPECT_EQ(sendMail.shown, 1);
    EXPECT_TRUE(runner.commandLines.empty());
    EXPECT_TRUE(config.dialogs.shown.empty());
}

TEST_F(MainTest, ConvertPromptsInTheDefaultFolderConvertsAndEnds) {
    ChooseSaveAs("C:\\PDF\\report.pdf");
    const MainResult result = Run(R"("C:\spool\job 12.ps")");
    EXPECT_EQ(result.after, AfterMain::EndProgram);
    EXPECT_EQ(result.exitCode, kExitDone);
    EXPECT_EQ(events.pumped, 1);
    ASSERT_EQ(config.dialogs.shown.size(), 1u);
    const auto& [kind, request] = config.dialogs.shown[0];
    EXPECT_EQ(kind, "save");
    EXPECT_EQ(request.title, "Save As");
    EXPECT_EQ(request.initDir, "C:\\PDF");
    EXPECT_EQ(request.flags, 0u) << "an existing file is asked about by Vellum, not Save As";
    EXPECT_EQ(request.defaultExt, "pdf") << "a name typed without extension gets .pdf";
    ASSERT_EQ(request.filters.size(), 2u);
    EXPECT_EQ(request.filters[0],
              (std::pair<std::string, std::string>{"Adobe PDF Files (*.pdf)", "*.pdf"}));
    ASSERT_EQ(runner.commandLines.size(), 1u);
    EXPECT_NE(runner.commandLines[0].find(R"(-f "C:\spool\job 12.ps")"), std::string::npos);
    EXPECT_EQ(request.fileName, "") << "a job without a document name";
    EXPECT_TRUE(box.shown.empty());
    EXPECT_TRUE(mapi.calls.empty());
    EXPECT_TRUE(config.log.empty()) << "Save As loads nothing of the configuration window";
}

TEST_F(MainTest, SaveAsProposesTheDocumentsName) {
    struct Case {
        const char* docName;  // nullptr: not set
        const char* jobText;
        const char* proposed;
    } cases[] = {
        {"Microsoft Word - Отчёт Q3.docx", "%!PS\n", "Отчёт Q3.pdf"},
        {"RedMon", "%!PS-Adobe-3.0\n%%Title: (letter.txt)\n", "letter.pdf"},
        {nullptr, "%!PS-Adobe-3.0\r\n%%Title: 報告書\r\n", "報告書.pdf"},
        {"", "%!PS\n", ""},
    };
    for (const Case& c : cases) {
        environment.variables.clear();
        if (c.docName) environment.variables["REDMON_DOCNAME"] = c.docName;
        files.Write(kJob, c.jobText);
        config.dialogs.shown.clear();
        Run("job.ps");
        ASSERT_EQ(config.dialogs.shown.size(), 1u);
        EXPECT_EQ(config.dialogs.shown[0].second.fileName, c.proposed) << c.jobText;
    }
}

TEST_F(MainTest, GhostscriptGetsTheJobsFullPathSoItIsNeverASwitch) {
    files.files.insert("C:\\work\\-dNOSAFER.ps");
    ChooseSaveAs("C:\\PDF\\report.pdf");
    EXPECT_EQ(Run("-dNOSAFER.ps").exitCode, kExitDone);
    ASSERT_EQ(runner.commandLines.size(), 1u);
    EXPECT_NE(runner.commandLines[0].find(R"(-f "C:\work\-dNOSAFER.ps")"), std::string::npos)
        << runner.commandLines[0];
}

TEST_F(MainTest, CancelledPromptEndsSilentlyWithoutConvertingAndCountsAsDone) {
    const MainResult result = Run("job.ps");
    EXPECT_EQ(result.after, AfterMain::EndProgram);
    EXPECT_EQ(result.exitCode, kExitDone);
    EXPECT_TRUE(runner.commandLines.empty());
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(MainTest, EveryJobNotConvertedEndsWithExitCodeOne) {
    // Ghostscript fails: its own message, and no mail.
    registry.Set(kKey, "sendMail", "1");
    runner.result = {true, 1, "boom", ""};
    ChooseSaveAs("C:\\PDF\\report.pdf");
    EXPECT_EQ(Run("job.ps").exitCode, kExitNotConverted);
    EXPECT_TRUE(mapi.calls.empty());

    // The dialog itself fails.
    config.dialogs.fail = true;
    EXPECT_EQ(Run("job.ps").exitCode, kExitNotConverted);
    config.dialogs.fail = false;

    // No job to convert.
    EXPECT_EQ(Run("missing.ps").exitCode, kExitNotConverted);
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

    registry.Set(kKey, "sendMail", "yes");
    mapi.calls.clear();
    ChooseSaveAs("C:\\PDF\\third.pdf");
    Run("job.ps");
    EXPECT_TRUE(mapi.calls.empty());
}

TEST_F(MainTest, MissingMailLibraryOrEntryPointIsAShortReportButThePdfCountsAsWritten) {
    registry.Set(kKey, "sendMail", "1");
    const toolkit::RuntimeError failures[] = {
        {48, "Vellum", "File not found: MAPI32.DLL"},
        {453, "Vellum", "Can't find DLL entry point MAPISendDocuments in MAPI32.DLL"}};
    for (const toolkit::RuntimeError& failure : failures) {
        SCOPED_TRACE(failure.Number());
        box.shown.clear();
        mapi.failure = failure;
        ChooseSaveAs("C:\\PDF\\report.pdf");
        const MainResult result = Run("job.ps");
        EXPECT_EQ(result.after, AfterMain::EndProgram);
        EXPECT_EQ(result.exitCode, kExitDone);
        ASSERT_EQ(box.shown.size(), 1u);
        EXPECT_EQ(box.shown[0].text,
                  std::to_string(failure.Number()) + ": " + failure.Description());
        EXPECT_EQ(box.shown[0].title, "Error!");
        EXPECT_EQ(box.shown[0].icon, toolkit::Icon::Error);
    }
}

TEST_F(MainTest, JobThatIsNoFileOrIsEmptyIsReportedBeforeAnyPrompt) {
    files.sizes["C:\\spool\\empty.ps"] = 0;
    files.sizes["C:\\spool\\hidden.ps"] = 5;  // a file with any attributes is a job
    files.folders.insert("C:\\spool");
    const std::string tail = "\r\n\r\nNo PDF was made.";
    const std::pair<const char*, std::string> cases[] = {
        {R"("C:\spool\gone.ps")",
         "The print job file does not exist:\r\nC:\\spool\\gone.ps" + tail},
        {R"("C:\spool\empty.ps")", "The print job file is empty:\r\nC:\\spool\\empty.ps" + tail},
        {R"("C:\spool")", "The print job is a folder, not a file:\r\nC:\\spool" + tail},
        {R"("")", "No print job file was named, so no PDF was made."},
    };
    for (const auto& [argument, text] : cases) {
        SCOPED_TRACE(argument);
        box.shown.clear();
        EXPECT_EQ(Run(argument).exitCode, kExitNotConverted);
        ASSERT_EQ(box.shown.size(), 1u);
        EXPECT_EQ(box.shown[0].text, text);
        EXPECT_EQ(box.shown[0].title, "Error!");
        EXPECT_EQ(box.shown[0].icon, toolkit::Icon::Error);
    }
    EXPECT_TRUE(config.dialogs.shown.empty()) << "no Save As";
    EXPECT_TRUE(runner.commandLines.empty());

    Run(R"("C:\spool\hidden.ps")");
    EXPECT_EQ(config.dialogs.shown.size(), 1u);
}

TEST_F(MainTest, DefaultFolderTheDialogCannotTakeIsNotHandedToIt) {
    Run("job.ps");
    EXPECT_EQ(SaveAsFolder(), "C:\\PDF");
    for (const char* defDir : {"C:\\Gone", "C:\\PDF\\report.pdf"}) {
        registry.Set(kKey, "defDir", defDir);
        Run("job.ps");
        EXPECT_EQ(SaveAsFolder(), "") << defDir;
    }
}

TEST_F(MainTest, IncompleteSettingsHoldTheJobUntilTheWindowIsSaved) {
    registry.values.erase({kKey, "defDir"});
    config.outcomes = {ConfigOutcome::Saved};
    config.whileHeld = [&] { registry.Set(kKey, "defDir", "C:\\PDF"); };
    ChooseSaveAs("C:\\PDF\\report.pdf");
    files.Write(kJob, "%!PS\n%%Title: (letter.txt)\n");
    const MainResult result = Run("job.ps");
    EXPECT_EQ(config.log,
              (std::vector<std::string>{"show", "tab 2", "focus 2", "hold letter.txt"}));
    EXPECT_EQ(SaveAsFolder(), "C:\\PDF") << "the settings as saved";
    EXPECT_EQ(runner.commandLines.size(), 1u);
    EXPECT_EQ(result.exitCode, kExitDone);
    EXPECT_EQ(box.shown.size(), 1u) << "only the load's own message";
}

TEST_F(MainTest, SettingsStillIncompleteAfterSaveAreShownAgain) {
    registry.values.erase({kKey, "gsLib"});
    config.outcomes = {ConfigOutcome::Saved, ConfigOutcome::Saved};
    int holds = 0;
    config.whileHeld = [&] {
        if (++holds == 2) registry.Set(kKey, "gsLib", "C:\\gs\\lib");
    };
    ChooseSaveAs("C:\\PDF\\report.pdf");
    EXPECT_EQ(Run("job.ps").exitCode, kExitDone);
    EXPECT_EQ(config.log, (std::vector<std::string>{"show", "tab 0", "focus 1", "hold", "show",
                                                    "tab 0", "focus 1", "hold"}));
}

TEST_F(MainTest, ClosingTheHeldWindowSaysTheJobWasNotConverted) {
    registry.values.erase({kKey, "defDir"});
    config.outcomes = {ConfigOutcome::Closed};
    const MainResult result = Run(R"("C:\spool\job 12.ps")");
    EXPECT_EQ(result.after, AfterMain::EndProgram);
    EXPECT_EQ(result.exitCode, kExitNotConverted);
    ASSERT_EQ(box.shown.size(), 2u);
    EXPECT_EQ(box.shown[1].text,
              "The print job was not converted, because the settings were not completed:\r\n"
              "C:\\spool\\job 12.ps\r\n\r\n"
              "Print the document again once the settings are saved.");
    EXPECT_EQ(box.shown[1].title, "Error!");
    EXPECT_EQ(box.shown[1].icon, toolkit::Icon::Error);
    EXPECT_TRUE(config.dialogs.shown.empty());
    EXPECT_TRUE(runner.commandLines.empty());

    // The program ended while the window was held: nothing more to say.
    box.shown.clear();
    config.outcomes = {ConfigOutcome::Ended};
    EXPECT_EQ(Run("job.ps").exitCode, kExitNotConverted);
    EXPECT_EQ(box.shown.size(), 1u);
}

TEST_F(MainTest, MissingJobIsReportedRatherThanHeld) {
    registry.values.erase({kKey, "defDir"});
    EXPECT_EQ(Run("gone.ps").exitCode, kExitNotConverted);
    EXPECT_EQ(config.log, (std::vector<std::string>{"show", "tab 2", "focus 2"}));
}

TEST_F(MainTest, WindowThatCannotLoadIsReportedAndTheJobIsNotConverted) {
    config.failLoad = true;
    registry.values.clear();  // LoadSettings opens the window, whose load fails
    const MainResult result = Run("job.ps");
    EXPECT_EQ(result.after, AfterMain::EndProgram);
    EXPECT_EQ(result.exitCode, kExitNotConverted);
    ASSERT_EQ(box.shown.size(), 3u);
    EXPECT_EQ(box.shown[1].title, "Error") << "LoadSettings' own trap: the long form";
    EXPECT_EQ(box.shown[2].text,
              "The print job was not converted, because the settings could not be read:\r\n" +
                  std::string(kJob));
}

TEST_F(MainTest, WhereNoOneSeesAWindowTheJobIsSavedUnaskedForItsPrintingUser) {
    session.visible = false;
    environment.variables = {{"REDMON_USER", "alice"}, {"HOMEDRIVE", "D:"}};
    registry.Set(kKey, "sendMail", "1");
    struct Row {
        const char* autoDir;  // in HKCU; nullptr for none
        const char* document;
        const char* taken;  // a file there already
        const char* pdf;
    } rows[] = {
        {nullptr, "Quarterly", "", "C:\\ProgramData\\Vellum\\Unsaved\\alice\\Quarterly.pdf"},
        {"%HOMEDRIVE%\\PDF\\<user>", "Quarterly", "D:\\PDF\\alice\\Quarterly.pdf",
         "D:\\PDF\\alice\\Quarterly (2).pdf"},
        {"E:\\Out", "", "", "E:\\Out\\Vellum 2026-03-04 05-06-07.pdf"},
    };
    registry.values.erase({kKey, "defDir"});           // nothing asks, so nothing needs it
    runner.waits = {std::chrono::milliseconds(5000)};  // long enough for a progress window
    for (const Row& row : rows) {
        SCOPED_TRACE(row.pdf);
        registry.values.erase({"HKCU\\Software\\Vellum", "autoDir"});
        if (row.autoDir) registry.Set("HKCU\\Software\\Vellum", "autoDir", row.autoDir);
        environment.variables["REDMON_DOCNAME"] = row.document;
        if (*row.taken) files.Write(row.taken, "%PDF other");
        EXPECT_EQ(Run("job.ps").exitCode, kExitDone);
        EXPECT_EQ(files.ReadBytes(row.pdf, 0, 4), "%PDF");
        EXPECT_NE(
            files.ReadBytes(kLog, 0, 100000).find("\tno window\twritten\t" + std::string(row.pdf)),
            std::string::npos);
    }
    EXPECT_TRUE(config.dialogs.shown.empty());
    EXPECT_TRUE(box.shown.empty());
    EXPECT_TRUE(progress.log.empty());
    EXPECT_TRUE(mapi.calls.empty()) << "no one to send it";

    runner.result.exitCode = 1;  // a failure is logged, never shown, and leaves no empty PDF
    EXPECT_EQ(Run("job.ps").exitCode, kExitNotConverted);
    EXPECT_TRUE(box.shown.empty());
    EXPECT_FALSE(files.FileExists("E:\\Out\\Vellum 2026-03-04 05-06-07 (2).pdf"));
    EXPECT_NE(files.ReadBytes(kLog, 0, 100000).find("\tmessage\tError!: "), std::string::npos);
}

TEST_F(MainTest, EveryJobIsOneLogLineAndTheLogMovesAsideAtItsLimit) {
    files.Write(kLog, std::string(kLogLimit - 10, 'x'));
    Run("job.ps");  // cancelled at Save As
    EXPECT_EQ(files.ReadBytes(kLog, 0, 1000),
              "2026-03-04 05:06:07\tSYSTEM\t\tasked\tcancelled\t\t1.5\t-\r\n");
    EXPECT_EQ(files.FileSize("C:\\ProgramData\\Vellum\\vellum.old.log"), kLogLimit - 10);

    environment.variables = {{"REDMON_USER", "bob"}, {"REDMON_DOCNAME", "Memo"}};
    ChooseSaveAs("C:\\PDF\\memo.pdf");
    runner.result = {true, 1, "Error: /undefined in foo\n", ""};
    Run("job.ps");
    const std::string text = files.ReadBytes(kLog, 0, 100000);
    EXPECT_NE(text.find("\tbob\tMemo\tmessage\tError!: "), std::string::npos) << text;
    EXPECT_NE(text.find("\tbob\tMemo\tasked\tfailed: Error: /undefined in foo\t"
                        "C:\\PDF\\memo.pdf\t1.5\t1\r\n"),
              std::string::npos)
        << text;
    files.appendFails = true;
    ChooseSaveAs("C:\\PDF\\memo.pdf");
    runner.result = {true, 0, "", ""};
    EXPECT_EQ(Run("job.ps").exitCode, kExitDone) << "a log that cannot be written stops nothing";
}

TEST_F(MainTest, AGoneGhostscriptGivesWayToTheNewestInstalledOneStoredWhereAllowed) {
    files.files.erase("C:\\gs\\gswin64c.exe");
    machine.Set("SOFTWARE\\GPL Ghostscript\\10.05.1", "GS_DLL", "C:\\gs10\\bin\\gsdll64.dll");
    files.files.insert("C:\\gs10\\bin\\gswin64c.exe");
    files.folders.insert("C:\\gs10\\lib");
    for (bool standardUser : {true, false}) {
        registry.machineReadOnly = standardUser;
        ChooseSaveAs("C:\\PDF\\a.pdf");
        EXPECT_EQ(Run("job.ps").exitCode, kExitDone);
        EXPECT_NE(runner.commandLines.back().find("C:\\gs10\\bin\\gswin64c.exe"),
                  std::string::npos);
        EXPECT_EQ(registry.Get(kKey, "gsExe"),
                  standardUser ? "C:\\gs\\gswin64c.exe" : "C:\\gs10\\bin\\gswin64c.exe");
    }
    EXPECT_TRUE(box.shown.empty());
    EXPECT_TRUE(config.log.empty());
    const std::string text = files.ReadBytes(kLog, 0, 100000);
    EXPECT_NE(text.find("Ghostscript 10.05.1 (C:\\gs10\\bin\\gswin64c.exe) is used in place of "
                        "C:\\gs\\gswin64c.exe; not stored"),
              std::string::npos)
        << text;
}

TEST_F(MainTest, TheElevatedMachineCommandStoresTheMachinesPartAndShowsNothing) {
    const std::string port =
        "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Redirected Port\\Ports\\RPT1:";
    registry.Set(port, "Arguments", "");
    services.app = {"C:\\Vellum", "vellum", 1, 0, 0};
    const std::string values = R"("C:\gs10\gswin64c.exe" "" "C:\gs10\lib" "C:\rr.exe" )";
    EXPECT_EQ(Run("-machine " + values + "\"RPT1:\"").exitCode, config::kMachineDone);
    EXPECT_EQ(registry.Get(kKey, "gsExe"), "C:\\gs10\\gswin64c.exe");
    EXPECT_EQ(registry.Get(kKey, "gsFonts"), "");
    EXPECT_EQ(registry.Get(port, "Arguments"), "\"C:\\Vellum\\vellum.exe\" %%1");
    EXPECT_EQ(registry.Get(port, "Command"), "C:\\rr.exe");
    EXPECT_EQ(Run("-machine " + values + "\"RPT9:\"").exitCode, config::kMachineNoPort);
    EXPECT_EQ(Run("-MACHINE \"one\"").exitCode, config::kMachineUsage);
    registry.machineReadOnly = true;
    EXPECT_EQ(Run("-machine " + values + "\"RPT1:\"").exitCode, config::kMachineDone)
        << "nothing changed, nothing written";
    EXPECT_EQ(Run(R"(-machine "C:\gs11\gswin64c.exe" "" "" "C:\rr.exe" "RPT1:")").exitCode,
              config::kMachineNotSaved);
    EXPECT_TRUE(box.shown.empty());
    EXPECT_TRUE(config.log.empty());
}

TEST_F(MainTest, AutomaticSavingNamesThePdfAfterTheDocumentAndNeverReplacesAFile) {
    registry.Set(kKey, "saveMode", "auto");
    registry.Set(kKey, "autoDir", "D:\\Auto\\new");
    environment.variables["REDMON_DOCNAME"] = "Microsoft Word - report.docx";
    files.Write("D:\\Auto\\new\\report.pdf", "%PDF first");
    EXPECT_EQ(Run("job.ps").exitCode, kExitDone);
    EXPECT_EQ(Run("job.ps").exitCode, kExitDone);
    EXPECT_EQ(files.data["D:\\Auto\\new\\report.pdf"], "%PDF first");
    EXPECT_EQ(files.data["D:\\Auto\\new\\report (2).pdf"], kWrittenPdf);
    EXPECT_EQ(files.data["D:\\Auto\\new\\report (3).pdf"], kWrittenPdf);
    EXPECT_EQ(files.log[0], "mkdirs D:\\Auto\\new") << "a missing folder is made";
    EXPECT_TRUE(config.dialogs.shown.empty());
    EXPECT_TRUE(box.shown.empty());

    // No document name: the time names it. Ghostscript fails: the reserved name goes.
    environment.variables.clear();
    runner.result = {true, 1, "boom", ""};
    EXPECT_EQ(Run("job.ps").exitCode, kExitNotConverted);
    ASSERT_EQ(runner.commandLines.size(), 3u);
    EXPECT_THAT(
        OutputFileOf(runner.commandLines[2]),
        ::testing::MatchesRegex(
            R"(D:\\Auto\\new\\Vellum [0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}-[0-9]{2}-[0-9]{2}\.pdf\..*)"));
    EXPECT_EQ(files.files.size(), 7u)
        << "the job, gs, the three PDFs and the log: nothing reserved left";
}

TEST_F(MainTest, AutomaticFolderThatCannotBeUsedFallsBackToSaveAsAndSaysSo) {
    registry.Set(kKey, "saveMode", "auto");
    registry.Set(kKey, "autoDir", "Q:\\PDF");
    files.foldersFailure = toolkit::RuntimeError(3, "Vellum", "The path was not found.");
    ChooseSaveAs("C:\\PDF\\chosen.pdf");
    EXPECT_EQ(Run("job.ps").exitCode, kExitDone);
    EXPECT_EQ(SaveAsFolder(), "C:\\PDF");
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text,
              "The PDF could not be saved automatically in the folder\r\nQ:\\PDF\r\n"
              "The path was not found.\r\n\r\nChoose where to save it instead.");
    EXPECT_NE(files.ReadBytes(kLog, 0, 100000).find("\tasked\twritten\tC:\\PDF\\chosen.pdf"),
              std::string::npos)
        << "logged as the Save As it became";
    EXPECT_EQ(files.data["C:\\PDF\\chosen.pdf"], kWrittenPdf);
}

TEST_F(MainTest, OpenPdfShowsTheWrittenPdfAndAFailureIsOnlyAMessage) {
    registry.Set(kKey, "openPdf", "1");
    ChooseSaveAs("C:\\PDF\\report.pdf");
    EXPECT_EQ(Run("job.ps").exitCode, kExitDone);
    EXPECT_EQ(viewer.opened, (std::vector<std::string>{"C:\\PDF\\report.pdf"}));
    viewer.failure = "No application is associated with the specified file (1155)";
    ChooseSaveAs("C:\\PDF\\report.pdf");
    EXPECT_EQ(Run("job.ps").exitCode, kExitDone);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text,
              "The PDF was saved as C:\\PDF\\report.pdf, but it could not be opened:\r\n" +
                  viewer.failure);
    runner.result = {true, 1, "boom", ""};
    ChooseSaveAs("C:\\PDF\\report.pdf");
    Run("job.ps");
    EXPECT_EQ(viewer.opened.size(), 2u) << "nothing to show when no PDF was made";
}

TEST(Prompt, OnlyTheUsersCancelIsSilent) {
    FakeFileDialogs dialogs;
    FakeMsgBox box;
    EXPECT_EQ(PromptForPdfPath(dialogs, box, "", "").result, PromptResult::Cancelled);
    EXPECT_TRUE(box.shown.empty());

    dialogs.answers.push_back("C:\\PDF\\a.pdf");
    const PdfChoice chosen = PromptForPdfPath(dialogs, box, "", "");
    EXPECT_EQ(chosen.result, PromptResult::Chosen);
    EXPECT_EQ(chosen.path, "C:\\PDF\\a.pdf");

    dialogs.fail = true;
    EXPECT_EQ(PromptForPdfPath(dialogs, box, "", "").result, PromptResult::Failed);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text, "20477: The file dialog failed.");
    EXPECT_EQ(box.shown[0].title, "Error!");
}

TEST(Prompt, IsSetUpAfreshWithItsTitleFolderAndProposedName) {
    FakeFileDialogs dialogs;
    FakeMsgBox box;
    dialogs.answers.push_back("C:\\PDF\\report.pdf");
    EXPECT_EQ(PromptForPdfPath(dialogs, box, "C:\\PDF", "report.pdf").path, "C:\\PDF\\report.pdf");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    const toolkit::FileDialogRequest& request = dialogs.shown[0].second;
    EXPECT_EQ(dialogs.shown[0].first, "save");
    EXPECT_EQ(request.title, "Save As");
    EXPECT_EQ(request.fileName, "report.pdf");
    EXPECT_EQ(request.defaultExt, "pdf");
    EXPECT_EQ(request.initDir, "C:\\PDF");
}

TEST(FileNameOf, IsTheTextAfterTheLastBackslash) {
    EXPECT_EQ(FileNameOf(R"(C:\PDF\report.pdf)"), "report.pdf");
    EXPECT_EQ(FileNameOf("report.pdf"), "report.pdf");
    EXPECT_EQ(FileNameOf(R"(C:\PDF\)"), "");
}

}  // namespace vellum::startup
