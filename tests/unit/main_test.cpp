#include "startup/main.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/fake_file_system.h"
#include "fakes/fake_msg_box.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_setup.h"
#include "fakes/fake_startup.h"
#include "fakes/fake_user_sessions.h"
#include "config/machine_part.h"
#include "startup/job_file.h"
#include "startup/job_log.h"
#include "startup/prompt.h"
#include "startup/saving_plan.h"
#include "convert/trusted_folder.h"
#include "settings/settings.h"

namespace vellum::startup {

using config::ConfigOutcome;
using settings::Settings;

namespace {

constexpr const char* kKey = "SOFTWARE\\Vellum";
constexpr const char* kWrittenPdf = "%PDF-1.4\nstartxref\n0\n%%EOF\n";  // what gs writes
constexpr const char* kJob = "C:\\work\\job.ps";                        // "job.ps" made full
constexpr const char* kLog = "C:\\ProgramData\\Vellum\\vellum.log";

// A machine with Vellum's settings, a job, and a Ghostscript whose every run writes its PDF.
struct World {
    World() {
        Settings = {};
        question.otherwise = 0;  // an existing PDF is replaced, unless a test says otherwise
        registry.Set(kKey, "gsExe", "C:\\gs\\gswin64c.exe");
        registry.Set(kKey, "gsLib", "C:\\gs\\lib");
        registry.Set(kKey, "sendMail", "0");
        registry.Set(kKey, "defDir", "C:\\PDF");
        files.files = {"C:\\gs\\gswin64c.exe", kJob, "C:\\spool\\job 12.ps"};
        files.folders = {"C:\\PDF", "C:\\gs\\lib"};
        runner.onRun = [this](const std::string& line) {
            files.Write(OutputFileOf(line), kWrittenPdf);
        };
    }
    World(const World&) = delete;
    MainResult Run(const std::string& tail) { return Main(services, tail); }
    // The exit code of a job; `saveAs`, where given, is the user's choice in Save As.
    int Convert(const std::string& tail = "job.ps", const std::string& saveAs = "") {
        if (!saveAs.empty()) ChooseSaveAs(saveAs);
        return Run(tail).exitCode;
    }
    void ChooseSaveAs(const std::string& path) {
        config.dialogs.answers.push_back(path);
        files.files.insert(path);
    }
    std::string SaveAsFolder() const {
        return config.dialogs.shown.empty() ? "<no Save As>"
                                            : config.dialogs.shown.back().second.initDir;
    }
    std::string Log(size_t from = 0) { return files.ReadBytes(kLog, from, 1000000); }
    bool Logged(const std::string& text) { return Log().find(text) != std::string::npos; }
    // The titles of the messages shown, in order.
    std::string Titles() const {
        std::string titles;
        for (const auto& shown : box.shown) titles += (titles.empty() ? "" : " | ") + shown.title;
        return titles;
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

class MainTest : public ::testing::Test, public World {
protected:
    using World::Run;
};

}  // namespace

TEST_F(MainTest, ConfigureAndMailModesShowTheirWindowAndKeepRunning) {
    EXPECT_EQ(Run("").after, AfterMain::RunMessageLoop);
    EXPECT_EQ(config.log, (std::vector<std::string>{"show"}));
    EXPECT_EQ(Run("\"-config\"").after, AfterMain::RunMessageLoop);
    EXPECT_EQ(Run("-CONFIG").after, AfterMain::RunMessageLoop);
    EXPECT_EQ(Run("-Mail").after, AfterMain::RunMessageLoop);
    EXPECT_EQ(sendMail.shown, 1);
    EXPECT_TRUE(runner.commandLines.empty() && config.dialogs.shown.empty());
}

TEST_F(MainTest, ConvertAsksInTheDefaultFolderConvertsTheJobByItsFullPathAndEnds) {
    ChooseSaveAs("C:\\PDF\\report.pdf");
    const MainResult result = Run(R"("C:\spool\job 12.ps")");
    EXPECT_EQ(result.after, AfterMain::EndProgram);
    EXPECT_EQ(result.exitCode, kExitDone);
    EXPECT_EQ(events.pumped, 1);
    ASSERT_EQ(config.dialogs.shown.size(), 1u);
    const auto& [kind, request] = config.dialogs.shown[0];
    EXPECT_EQ(kind + " " + request.title + " " + request.initDir, "save Save As C:\\PDF");
    EXPECT_EQ(request.flags, 0u) << "an existing file is asked about by Vellum, not Save As";
    EXPECT_EQ(request.defaultExt, "pdf") << "a name typed without extension gets .pdf";
    ASSERT_EQ(request.filters.size(), 2u);
    EXPECT_EQ(request.filters[0],
              (std::pair<std::string, std::string>{"Adobe PDF Files (*.pdf)", "*.pdf"}));
    EXPECT_THAT(runner.commandLines,
                ::testing::ElementsAre(::testing::HasSubstr(R"(-f "C:\spool\job 12.ps")")));
    EXPECT_TRUE(box.shown.empty() && mapi.calls.empty());
    EXPECT_TRUE(config.log.empty()) << "Save As loads nothing of the configuration window";

    // A job named like a switch is never taken for one.
    files.files.insert("C:\\work\\-dNOSAFER.ps");
    EXPECT_EQ(Convert("-dNOSAFER.ps", "C:\\PDF\\report.pdf"), kExitDone);
    EXPECT_THAT(runner.commandLines.back(), ::testing::HasSubstr(R"(-f "C:\work\-dNOSAFER.ps")"));
}

TEST_F(MainTest, AddPagesChosenForAnExistingPdfPutsItsPagesFirst) {
    files.Write("C:\\PDF\\report.pdf", kWrittenPdf);
    question.answers = {1};
    EXPECT_EQ(Convert("job.ps", "C:\\PDF\\report.pdf"), kExitDone);
    EXPECT_THAT(runner.commandLines.back(),
                ::testing::HasSubstr(R"(-f "C:\PDF\report.pdf" "C:\work\job.ps")"));
}

TEST_F(MainTest, SaveAsProposesTheDocumentsName) {
    const struct {
        const char* docName;  // nullptr: not set
        const char* jobText;
        const char* proposed;
    } cases[] = {
        {"Microsoft Word - Отчёт Q3.docx", "%!PS\n", "Отчёт Q3.pdf"},
        {"RedMon", "%!PS-Adobe-3.0\n%%Title: (letter.txt)\n", "letter.pdf"},
        {nullptr, "%!PS-Adobe-3.0\r\n%%Title: 報告書\r\n", "報告書.pdf"},
        {"", "%!PS\n", ""},
    };
    for (const auto& c : cases) {
        environment.variables.clear();
        if (c.docName) environment.variables["REDMON_DOCNAME"] = c.docName;
        files.Write(kJob, c.jobText);
        Run("job.ps");
        EXPECT_EQ(config.dialogs.shown.back().second.fileName, c.proposed) << c.jobText;
    }
}

TEST(MainJobs, EveryJobEndsWithItsExitCodeAndItsLogLineAndIsShownOnlyWhereSeen) {
    const char* r = "C:\\PDF\\r.pdf";
    const auto gsThrows = [](bool seen) {
        return [seen](World& w) {
            w.session.visible = seen;
            w.runner.onRun = [](const std::string&) { throw std::runtime_error("out of memory"); };
        };
    };
    const auto mapiMissing = [](toolkit::RuntimeError failure) {
        return [failure](World& w) { w.mapi.failure = failure; };
    };
    const struct {
        const char* what;
        const char* saveAs;  // the user's choice in Save As; "" for Cancel
        std::function<void(World&)> arrange;
        int exitCode;
        const char* logged;
        const char* shown;  // the titles of the messages shown
        size_t runs;
        const char* tail = "job.ps";
    } rows[] = {
        {"Save As cancelled", "", nullptr, kExitDone, "\tasked\tcancelled\t\t", "", 0},
        {"Save As failed", "", [](World& w) { w.config.dialogs.fail = true; }, kExitNotConverted,
         "\tasked\tfailed: Save As failed\t", "Error!", 0},
        {"no job", r, nullptr, kExitNotConverted, "\tfailed: the job file is missing", "Error!", 0,
         "missing.ps"},
        {"Ghostscript failed", r,
         [](World& w) { w.runner.result.exitCode = 1, w.runner.result.output = "boom"; },
         kExitNotConverted, "\tasked\tfailed: boom\tC:\\PDF\\r.pdf\t1.5\t1", "Error!", 1},
        {"conversion cancelled", r, [](World& w) { w.progress.cancelAt = 1; }, kExitNotConverted,
         "\tasked\tcancelled\tC:\\PDF\\r.pdf\t", "Cancelled", 1},
        {"settings incomplete, unseen", "",
         [](World& w) {
             w.session.visible = false;
             w.registry.values.erase({kKey, "gsLib"});
         },
         kExitNotConverted, "\tno window\tfailed: the settings are not complete", "", 0},
        {"a failure no one foresaw", r, gsThrows(true), kExitNotConverted,
         "\tasked\tfailed: out of memory", "Error!", 1},
        {"a failure no one foresaw, unseen", r, gsThrows(false), kExitNotConverted,
         "\tno window\tfailed: out of memory", "", 1},
        // A missing mail library is a short report, and the PDF written stays written.
        {"no MAPI32.DLL", r, mapiMissing({48, "Vellum", "File not found: MAPI32.DLL"}), kExitDone,
         "\tasked\twritten\tC:\\PDF\\r.pdf", "Error!", 1},
        {"no entry point", r,
         mapiMissing({453, "Vellum", "Can't find DLL entry point MAPISendDocuments in MAPI32.DLL"}),
         kExitDone, "\tasked\twritten\tC:\\PDF\\r.pdf", "Error!", 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        World w;
        w.registry.Set(kKey, "sendMail", "1");
        w.runner.waits = {std::chrono::milliseconds(5000)};
        if (row.arrange) row.arrange(w);
        EXPECT_EQ(w.Convert(row.tail, row.saveAs), row.exitCode);
        EXPECT_TRUE(w.Logged(row.logged)) << w.Log();
        EXPECT_EQ(w.Titles(), row.shown);
        EXPECT_EQ(w.runner.commandLines.size(), row.runs);
        EXPECT_TRUE(w.mapi.calls.empty()) << "mail only for a PDF written";
        EXPECT_EQ(w.config.log, std::vector<std::string>{}) << "no window held where no one sees";
    }
}

TEST_F(MainTest, MailGoesOutOnlyForOneAndOnlyAfterASuccessfulConversion) {
    registry.Set(kKey, "sendMail", " 1 ");
    Convert("job.ps", "C:\\PDF\\report.pdf");
    ASSERT_EQ(mapi.calls.size(), 1u);
    const FakeMapi::Call& call = mapi.calls[0];
    EXPECT_EQ(std::to_string(call.uiParam) + call.delimiter + call.paths + " " + call.names,
              "0;C:\\PDF\\report.pdf report.pdf");
    EXPECT_EQ(box.shown.back().title, "Success!");

    registry.Set(kKey, "sendMail", "yes");
    Convert("job.ps", "C:\\PDF\\third.pdf");
    EXPECT_EQ(mapi.calls.size(), 1u);
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
        box.shown.clear();
        EXPECT_EQ(Convert(argument), kExitNotConverted);
        ASSERT_EQ(box.shown.size(), 1u);
        EXPECT_EQ(box.shown[0].title + ": " + box.shown[0].text, "Error!: " + text);
        EXPECT_EQ(box.shown[0].icon, toolkit::Icon::Error);
    }
    EXPECT_TRUE(config.dialogs.shown.empty() && runner.commandLines.empty());

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
    config.whileHeld = [&] {
        config.heldWith->Show("Unable to find RedMon Port", "Error!", toolkit::Icon::Error);
        registry.Set(kKey, "defDir", "C:\\PDF");
    };
    files.Write(kJob, "%!PS\n%%Title: (letter.txt)\n");
    EXPECT_EQ(Convert("job.ps", "C:\\PDF\\report.pdf"), kExitDone);
    EXPECT_TRUE(Logged("message\tError!: Unable to find RedMon"))
        << "the held window reports through the job's logging box";
    EXPECT_EQ(config.log,
              (std::vector<std::string>{"show", "tab 2", "focus 2", "hold letter.txt"}));
    EXPECT_EQ(SaveAsFolder(), "C:\\PDF") << "the settings as saved";
    EXPECT_EQ(runner.commandLines.size(), 1u);
    EXPECT_EQ(box.shown.size(), 2u) << "the load's own message and the window's";
}

TEST_F(MainTest, SettingsStillIncompleteAfterSaveAreShownAgain) {
    registry.values.erase({kKey, "gsLib"});
    config.outcomes = {ConfigOutcome::Saved, ConfigOutcome::Saved};
    int holds = 0;
    config.whileHeld = [&] {
        if (++holds == 2) registry.Set(kKey, "gsLib", "C:\\gs\\lib");
    };
    EXPECT_EQ(Convert("job.ps", "C:\\PDF\\report.pdf"), kExitDone);
    EXPECT_EQ(config.log, (std::vector<std::string>{"show", "tab 0", "focus 1", "hold", "show",
                                                    "tab 0", "focus 1", "hold"}));
}

TEST_F(MainTest, ClosingTheHeldWindowSaysTheJobWasNotConverted) {
    registry.values.erase({kKey, "defDir"});
    config.outcomes = {ConfigOutcome::Closed};
    EXPECT_EQ(Convert(R"("C:\spool\job 12.ps")"), kExitNotConverted);
    ASSERT_EQ(box.shown.size(), 2u);
    EXPECT_EQ(box.shown[1].title + ": " + box.shown[1].text,
              "Error!: The print job was not converted, because the settings were not completed:"
              "\r\nC:\\spool\\job 12.ps\r\n\r\nPrint the document again once the settings are "
              "saved.");
    EXPECT_EQ(box.shown[1].icon, toolkit::Icon::Error);
    EXPECT_TRUE(config.dialogs.shown.empty() && runner.commandLines.empty());

    // The program ended while the window was held: nothing more to say.
    box.shown.clear();
    config.outcomes = {ConfigOutcome::Ended};
    EXPECT_EQ(Convert(), kExitNotConverted);
    EXPECT_EQ(box.shown.size(), 1u);
}

TEST_F(MainTest, MissingJobIsReportedRatherThanHeld) {
    registry.values.erase({kKey, "defDir"});
    EXPECT_EQ(Convert("gone.ps"), kExitNotConverted);
    EXPECT_EQ(config.log, (std::vector<std::string>{"show", "tab 2", "focus 2"}));
}

TEST_F(MainTest, WindowThatCannotLoadIsReportedAndTheJobIsNotConverted) {
    config.failLoad = true;
    registry.values.clear();  // LoadSettings opens the window, whose load fails
    EXPECT_EQ(Convert(), kExitNotConverted);
    ASSERT_EQ(box.shown.size(), 3u);
    EXPECT_EQ(box.shown[1].title, "Error") << "LoadSettings' own trap: the long form";
    EXPECT_EQ(box.shown[2].text,
              "The print job was not converted, because the settings could not be read:\r\n" +
                  std::string(kJob));
}

TEST_F(MainTest, AnUnseenJobGoesToItsUsersSessionElseIsSavedUnaskedAndTheMachinesLogSaysWhy) {
    session.visible = false;
    environment.variables = {{"REDMON_USER", "alice"}, {"LOCALAPPDATA", "C:\\Users\\S"}};
    FakeUserSessions sessions;
    sessions.accounts = {{2, {"alice", "PC"}}};
    sessions.console = 2;
    sessions.exitCode = 1;
    services.sessions = &sessions;
    services.app = {"C:\\Vellum", "vellum"};
    EXPECT_EQ(Convert("\"C:\\spool\\job 12.ps\""), 1) << "the user's Vellum's";
    EXPECT_TRUE(runner.commandLines.empty());
    EXPECT_TRUE(
        Logged("\talice\t\thanded over\thanded over to PC\\alice, session 2, job read "
               "through an access entry: exit code 1\t\t"));

    sessions.system = false;  // no token: saved here, unasked, and the log says why
    EXPECT_EQ(Convert(), kExitDone);
    EXPECT_EQ(runner.commandLines.size(), 1u);
    EXPECT_TRUE(
        Logged("message\tNot handed over to the printing user's session: starting Vellum "
               "in alice's session: WTSQueryUserToken(2): A required privilege"));
    EXPECT_TRUE(Logged("\tno window\twritten\t"));

    for (const bool mark : {true, false}) {  // a handed-over Vellum, or one someone sees
        environment.variables.erase(kHandedOverMark);
        if (mark) environment.variables[kHandedOverMark] = "1";
        session.visible = !mark;
        sessions.calls.clear();
        Convert("job.ps", "C:\\PDF\\seen.pdf");
        EXPECT_TRUE(sessions.calls.empty()) << "never hands on";
    }
}

// Where no one sees a window, the job is saved unasked for its printing user, and one that cannot
// become a PDF is kept for them; nothing is shown, mailed or left half-made.
TEST(MainJobs, AnUnseenJobIsSavedUnaskedElseKeptForItsUser) {
    using toolkit::OwnerKind;
    const std::string unsaved = "C:\\ProgramData\\Vellum\\Unsaved\\";
    const std::string failed = "C:\\ProgramData\\Vellum\\Failed\\";
    const std::string stamp = " 2026-03-04 05-06-07";
    const auto inHkcu = [](const char* autoDir, const char* taken) {
        return [=](World& w) {
            w.registry.Set("HKCU\\Software\\Vellum", "autoDir", autoDir);
            if (*taken) w.files.Write(taken, "%PDF other");
        };
    };
    const struct {
        const char* user;
        const char* autoDir;  // in HKLM; "" for none
        std::function<void(World&)> arrange;
        int exitCode;
        std::string onDisk;  // the PDF written, or the job kept
        std::string logged;  // in the job's log line
    } rows[] = {
        {"alice", "",
         [](World& w) {
             w.runner.result = {true, 1, "Error: /undefined in foo\n", ""};
         },
         kExitNotConverted, unsaved + "alice\\Doc" + stamp + ".ps",
         "failed: Error: /undefined in foo; the print job is kept as " + unsaved + "alice\\Doc" +
             stamp + ".ps"},
        {"bob", "", [](World& w) { w.files.files.erase("C:\\gs\\gswin64c.exe"); },
         kExitNotConverted, failed + "bob\\Doc" + stamp + ".ps",
         "The user bob was not found: only SYSTEM and the Administrators may open the folder " +
             failed +
             "bob.\r\n2026-03-04 05:06:07\tbob\tDoc\tno window\tfailed: the settings "
             "are not complete; the print job is kept as " +
             failed + "bob\\Doc" + stamp + ".ps"},
        {"carol", "",
         [&](World& w) {
             w.files.handleFacts[unsaved + "carol"] = {true, true, OwnerKind::System, "SYSTEM"};
         },
         kExitNotConverted, failed + "carol\\Doc" + stamp + ".ps", "It is a link"},
        {"dave", "",
         [&](World& w) {
             w.files.handleFacts[unsaved + "dave"] = {true, false, OwnerKind::Other, "PC\\mallory"};
         },
         kExitNotConverted, failed + "dave\\Doc" + stamp + ".ps", "owned by PC\\mallory"},
        {"erin", "E:\\Out\\<user>",
         [](World& w) {
             w.runner.onRun = [&w](const std::string& line) {
                 const bool full = line.find("E:\\Out") != std::string::npos;
                 w.runner.result = {true, full ? 1u : 0u,
                                    full ? "Last OS error: No space left on device" : "", ""};
                 if (!full) w.files.Write(OutputFileOf(line), kWrittenPdf);
             };
         },
         kExitDone, unsaved + "erin\\Doc.pdf", "\tno window\twritten\t"},
        {"frank", "", [](World& w) { w.runner.waits = {std::chrono::milliseconds(601000)}; },
         kExitNotConverted, unsaved + "frank\\Doc" + stamp + ".ps",
         "failed: Ghostscript was ended after 600 seconds (gsTimeout); the print job is kept"},
        {"grace", "",
         [](World& w) {
             w.files.copyFailure =
                 toolkit::RuntimeError(112, "Vellum", "There is not enough space on the disk.");
             w.runner.result.exitCode = 1;
         },
         kExitNotConverted, "",
         "; the print job could not be kept: There is not enough space on the disk."},
        {"heidi", "",
         [&](World& w) {
             w.files.folders.insert(unsaved + "heidi");
             w.files.accounts["heidi"] = "S-1-5-21-7-1002";
             w.files.handleFacts[unsaved + "heidi"] = {true, false, OwnerKind::System, "SYSTEM",
                                                       true};
         },
         kExitDone, unsaved + "heidi\\Doc.pdf",
         unsaved + "heidi, made by an earlier version, was given its user's own rights."},
        {"CON", "", [](World&) {}, kExitDone, unsaved + "CON_\\Doc.pdf",
         "\tno window\twritten\t" + unsaved + "CON_\\Doc.pdf"},
        {"ann", "", inHkcu("%HOMEDRIVE%\\PDF\\<user>", "D:\\PDF\\ann\\Doc.pdf"), kExitDone,
         "D:\\PDF\\ann\\Doc (2).pdf", "\tno window\twritten\tD:\\PDF\\ann\\Doc (2).pdf"},
        {"untitled", "",
         [&](World& w) {
             inHkcu("E:\\Out", "")(w), w.environment.variables.erase("REDMON_DOCNAME");
         },
         kExitDone, "E:\\Out\\Vellum 2026-03-04 05-06-07.pdf", "\tno window\twritten\tE:\\Out\\"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.user);
        World w;
        w.session.visible = false;
        w.registry.values.erase({kKey, "defDir"});
        w.files.accounts = {{"alice", "S-1-5-21-7-1001"}};
        w.environment.variables = {
            {"REDMON_USER", row.user}, {"REDMON_DOCNAME", "Doc"}, {"HOMEDRIVE", "D:"}};
        w.registry.Set(kKey, "autoDir", row.autoDir);
        w.registry.Set(kKey, "sendMail", "1");
        w.runner.waits = {std::chrono::milliseconds(5000)};  // long enough for a progress window
        row.arrange(w);
        EXPECT_EQ(w.Convert(), row.exitCode);
        EXPECT_TRUE(row.onDisk.empty() || w.files.FileSize(row.onDisk)) << row.onDisk;
        EXPECT_TRUE(w.Logged(row.logged)) << w.Log();
        EXPECT_EQ(w.Logged("\tmessage\tError!: "), row.exitCode != kExitDone) << "logged, unshown";
        for (const std::string& file : w.files.files) {
            EXPECT_EQ(file.find(".vellum-tmp"), std::string::npos) << "nothing half-made";
            EXPECT_TRUE(file.find(".pdf") != file.size() - 4 || w.files.FileSize(file) > 0u)
                << file;
        }
        EXPECT_TRUE(w.files.FolderExists("C:\\gs\\lib")) << "and no temp folder";
        EXPECT_TRUE(w.box.shown.empty() && w.config.dialogs.shown.empty());
        EXPECT_TRUE(w.progress.log.empty() && w.mapi.calls.empty()) << "no one to see or send it";
        const std::string access =
            "access " + unsaved + "alice " + convert::OwnFolderAccess("S-1-5-21-7-1001");
        EXPECT_EQ(std::count(w.files.log.begin(), w.files.log.end(), access) > 0,
                  row.user == std::string("alice"))
            << "the folder made for a user is theirs to read";
    }
    // Where someone sees, nothing is kept and nothing timed: they were told.
    World seen;
    seen.registry.Set(kKey, "saveMode", "auto");
    seen.runner.result.exitCode = 1;
    seen.runner.waits = {std::chrono::milliseconds(601000)};
    EXPECT_EQ(seen.Convert(), kExitNotConverted);
    EXPECT_EQ(seen.runner.ended, 0) << "no time limit where someone can cancel";
    for (const std::string& entry : seen.files.log)
        EXPECT_EQ(entry.find("copy "), std::string::npos);
}

TEST_F(MainTest, EveryJobIsOneLogLineAndTheLogMovesAsideAtItsLimit) {
    files.Write(kLog, std::string(kLogLimit - 10, 'x'));
    Run("job.ps");  // cancelled at Save As
    EXPECT_EQ(files.ReadBytes(kLog, 0, 1000),
              "2026-03-04 05:06:07\tSYSTEM\t\tasked\tcancelled\t\t1.5\t-\r\n");
    EXPECT_EQ(files.FileSize("C:\\ProgramData\\Vellum\\vellum.old.log"), kLogLimit - 10);

    environment.variables = {{"REDMON_USER", "bob"}, {"REDMON_DOCNAME", "Memo"}};
    runner.result = {true, 1, "Error: /undefined in foo\n", ""};
    Convert("job.ps", "C:\\PDF\\memo.pdf");
    EXPECT_TRUE(Logged("\tbob\tMemo\tmessage\tError!: ")) << Log();
    EXPECT_TRUE(
        Logged("\tbob\tMemo\tasked\tfailed: Error: /undefined in foo\tC:\\PDF\\memo.pdf"
               "\t1.5\t1\r\n"));
    files.appendFails = true;
    runner.result = {true, 0, "", ""};
    EXPECT_EQ(Convert("job.ps", "C:\\PDF\\memo.pdf"), kExitDone)
        << "a log that cannot be written stops nothing";
}

TEST_F(MainTest, TwoJobsFindingTheLogFullNeverMoveAFreshLogOverTheOldOne) {
    const std::string old = "C:\\ProgramData\\Vellum\\vellum.old.log";
    for (const bool lockTaken : {true, false}) {
        files.Write(kLog, std::string(kLogLimit, 'x'));
        files.Write(old, "older lines");
        files.alone = {lockTaken ? "C:\\ProgramData\\Vellum\\vellum.log.lock" : ""};
        files.onLock = [&] {  // the other job moves the log aside and writes its line first
            files.MoveReplacing(kLog, old);
            files.Write(kLog, "its line");
        };
        Run("job.ps");
        EXPECT_EQ(files.FileSize(old), lockTaken ? 11u : kLogLimit) << lockTaken;
        EXPECT_EQ(files.ReadBytes(kLog, 0, 8), lockTaken ? "xxxxxxxx" : "its line");
    }
}

TEST_F(MainTest, AGoneGhostscriptGivesWayToTheNewestInstalledOneStoredWhereAllowed) {
    files.files.erase("C:\\gs\\gswin64c.exe");
    machine.Set("SOFTWARE\\GPL Ghostscript\\10.05.1", "GS_DLL", "C:\\gs10\\bin\\gsdll64.dll");
    files.files.insert("C:\\gs10\\bin\\gswin64c.exe");
    files.folders.insert("C:\\gs10\\lib");
    for (bool standardUser : {true, false}) {
        registry.machineReadOnly = standardUser;
        files.data.erase(kLog);
        EXPECT_EQ(Convert("job.ps", "C:\\PDF\\a.pdf"), kExitDone);
        EXPECT_THAT(runner.commandLines.back(),
                    ::testing::HasSubstr("C:\\gs10\\bin\\gswin64c.exe"));
        EXPECT_EQ(registry.Get(kKey, "gsExe"),
                  standardUser ? "C:\\gs\\gswin64c.exe" : "C:\\gs10\\bin\\gswin64c.exe");
        EXPECT_TRUE(
            Logged("Ghostscript 10.05.1 (C:\\gs10\\bin\\gswin64c.exe) is used in place of "
                   "C:\\gs\\gswin64c.exe; " +
                   std::string(standardUser ? "not stored" : "stored.")))
            << Log();
    }
    EXPECT_TRUE(box.shown.empty() && config.log.empty());
}

TEST_F(MainTest, TheElevatedMachineCommandStoresTheMachinesPartAndShowsNothing) {
    const std::string port =
        "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Redirected Port\\Ports\\RPT1:";
    registry.Set(port, "Arguments", "");
    services.app = {"C:\\Vellum", "vellum", 1, 0, 0};
    for (const char* file : {"C:\\gs10\\gswin64c.exe", "C:\\gs11\\gswin64c.exe", "C:\\rr.exe"})
        files.files.insert(file);
    files.folders.insert("C:\\gs10\\lib");
    const std::string values = R"(-machine "C:\gs10\gswin64c.exe" "" "C:\gs10\lib" "C:\rr.exe" )";
    EXPECT_EQ(Convert(values + "\"RPT1:\""), config::kMachineDone);
    EXPECT_EQ(registry.Get(kKey, "gsExe"), "C:\\gs10\\gswin64c.exe");
    EXPECT_EQ(registry.Get(kKey, "gsFonts"), "");
    EXPECT_EQ(registry.Get(port, "Arguments"), "\"C:\\Vellum\\vellum.exe\" %%1");
    EXPECT_EQ(registry.Get(port, "Command"), "C:\\rr.exe");
    EXPECT_EQ(Convert(values + "\"RPT9:\""), config::kMachineNoPort);
    EXPECT_EQ(Convert("-MACHINE \"one\""), config::kMachineUsage);
    registry.machineReadOnly = true;
    EXPECT_EQ(Convert(values + "\"RPT1:\""), config::kMachineDone)
        << "nothing changed, nothing written";
    const std::string newer =
        R"(-machine "C:\gs11\gswin64c.exe" "" "C:\gs10\lib" "C:\rr.exe" "RPT1:")";
    EXPECT_EQ(Convert(newer), config::kMachineNotSaved) << "the settings refused";
    registry.machineReadOnly = false;
    registry.failingWrites = {{port, "Command"}};
    files.files.insert("C:\\rr2.exe");
    EXPECT_EQ(Convert(R"(-machine "C:\gs11\gswin64c.exe" "" "C:\gs10\lib" "C:\rr2.exe" "RPT1:")"),
              config::kMachinePortRefused)
        << "the settings stored, the port not";
    registry.failingWrites.clear();
    EXPECT_TRUE(box.shown.empty() && config.log.empty());

    // Every value is checked before the first write: a refused command leaves HKLM as it was.
    const auto before = registry.values;
    const std::pair<const char*, int> refused[] = {
        {R"("" "" "" "" "")", config::kMachineNoPort},
        {R"("C:\gs11\gswin64c.exe" "" "C:\gs10\lib" "C:\rr.exe" "RPT9:")", config::kMachineNoPort},
        {R"("" "" "C:\gs10\lib" "C:\rr.exe" "RPT1:")", config::kMachineNotSaved},
        {R"("C:\gs11\gswin64c.exe" "" "" "C:\rr.exe" "RPT1:")", config::kMachineNotSaved},
        {R"("C:\gs11\gswin64c.exe" "" "C:\gone\lib" "C:\rr.exe" "RPT1:")",
         config::kMachineNotSaved},
        {R"("C:\gs11\gswin64c.exe" "C:\gone" "C:\gs10\lib" "C:\rr.exe" "RPT1:")",
         config::kMachineNotSaved},
        {R"("C:\gs11\gswin64c.exe" "" "C:\gs10\lib" "C:\gone.exe" "RPT1:")",
         config::kMachineNotSaved},
    };
    for (const auto& [arguments, exitCode] : refused) {
        EXPECT_EQ(Convert(std::string("-machine ") + arguments), exitCode) << arguments;
        EXPECT_EQ(registry.values, before) << arguments;
    }
}

TEST_F(MainTest, AutomaticSavingNamesThePdfAfterTheDocumentAndNeverReplacesAFile) {
    registry.Set(kKey, "saveMode", "auto");
    registry.Set(kKey, "autoDir", "D:\\Auto\\new");
    environment.variables["REDMON_DOCNAME"] = "Microsoft Word - report.docx";
    files.Write("D:\\Auto\\new\\report.pdf", "%PDF first");
    runner.onRun = [this](const std::string& line) {
        for (const auto& [path, bytes] : files.data)
            EXPECT_FALSE(path.size() > 4 && path.substr(path.size() - 4) == ".pdf" && bytes.empty())
                << path << ": no empty file stands for the PDF, so none is left if the run dies";
        files.Write(OutputFileOf(line), kWrittenPdf);
    };
    EXPECT_EQ(Convert(), kExitDone);
    EXPECT_EQ(Convert(), kExitDone);
    EXPECT_EQ(files.data["D:\\Auto\\new\\report.pdf"], "%PDF first");
    EXPECT_EQ(files.data["D:\\Auto\\new\\report (2).pdf"], kWrittenPdf);
    EXPECT_EQ(files.data["D:\\Auto\\new\\report (3).pdf"], kWrittenPdf);
    EXPECT_EQ(files.log[0], "mkdirs D:\\Auto\\new") << "a missing folder is made";
    EXPECT_TRUE(config.dialogs.shown.empty() && box.shown.empty());

    // No document name: the time names it. Ghostscript fails: the reserved name goes.
    environment.variables.clear();
    runner.result = {true, 1, "boom", ""};
    EXPECT_EQ(Convert(), kExitNotConverted);
    ASSERT_EQ(runner.commandLines.size(), 3u);
    EXPECT_THAT(
        OutputFileOf(runner.commandLines[2]),
        ::testing::MatchesRegex(
            R"(D:\\Auto\\new\\Vellum [0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}-[0-9]{2}-[0-9]{2}\.pdf\..*)"));
    EXPECT_EQ(files.files.size(), 9u)
        << "the job, gs, the three PDFs, the log and two clean-up marks: nothing reserved left";
}

TEST_F(MainTest, UnknownTokensOfTheAutomaticNameAreKeptAndLogged) {
    registry.Set(kKey, "saveMode", "auto");
    registry.Set(kKey, "autoName", "<title> <x>");
    EXPECT_EQ(Convert(), kExitDone);
    EXPECT_TRUE(Logged("message\tautoName: tokens kept as written: <x>")) << Log();
}

TEST_F(MainTest, AutomaticFolderThatCannotBeUsedFallsBackToSaveAsAndSaysSo) {
    registry.Set(kKey, "saveMode", "auto");
    const struct {
        const char* autoDir;
        std::optional<toolkit::RuntimeError> makeFailure;
        int takenNames;  // the folder is made, but takes no temporary file
        const char* reason;
    } rows[] = {
        {"Q:\\PDF", toolkit::RuntimeError(3, "Vellum", "The path was not found."), 0,
         "The path was not found."},
        {"Q:\\PDF", std::nullopt, 1000, "No free name for a temporary file was found."},
        {"%UNDEFINED%\\PDF", std::nullopt, 0, "It names a variable that is not set: %UNDEFINED%."},
    };
    for (const auto& row : rows) {
        registry.Set(kKey, "autoDir", row.autoDir);
        files.foldersFailure = row.makeFailure;
        files.takenNames = row.takenNames;
        box.shown.clear();
        config.dialogs.answers.push_back("C:\\PDF\\chosen.pdf");
        Run("job.ps");
        ASSERT_FALSE(box.shown.empty()) << row.reason;
        EXPECT_EQ(box.shown[0].text, "The PDF could not be saved automatically in the folder\r\n" +
                                         std::string(row.autoDir) + "\r\n" + row.reason +
                                         "\r\n\r\nChoose where to save it instead.");
        EXPECT_EQ(SaveAsFolder(), "C:\\PDF");
    }
    files.takenNames = 0;
    files.foldersFailure.reset();
    EXPECT_EQ(Convert("job.ps", "C:\\PDF\\chosen.pdf"), kExitDone);
    EXPECT_EQ(files.data["C:\\PDF\\chosen.pdf"], kWrittenPdf);
    EXPECT_TRUE(Logged("\tasked\twritten\tC:\\PDF\\chosen.pdf"))
        << "logged as the Save As it became";
}

TEST_F(MainTest, OpenPdfShowsTheWrittenPdfAndAFailureIsOnlyAMessage) {
    registry.Set(kKey, "openPdf", "1");
    EXPECT_EQ(Convert("job.ps", "C:\\PDF\\report.pdf"), kExitDone);
    EXPECT_EQ(viewer.opened, (std::vector<std::string>{"C:\\PDF\\report.pdf"}));
    viewer.failure = "No application is associated with the specified file (1155)";
    EXPECT_EQ(Convert("job.ps", "C:\\PDF\\report.pdf"), kExitDone);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text,
              "The PDF was saved as C:\\PDF\\report.pdf, but it could not be opened:\r\n" +
                  viewer.failure);
    runner.result = {true, 1, "boom", ""};
    Convert("job.ps", "C:\\PDF\\report.pdf");
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
    EXPECT_EQ(box.shown[0].title + ": " + box.shown[0].text,
              "Error!: 20477: The file dialog failed.");
}

TEST(FileNameOf, IsTheTextAfterTheLastBackslash) {
    EXPECT_EQ(FileNameOf(R"(C:\PDF\report.pdf)"), "report.pdf");
    EXPECT_EQ(FileNameOf("report.pdf"), "report.pdf");
    EXPECT_EQ(FileNameOf(R"(C:\PDF\)"), "");
}

}  // namespace vellum::startup
