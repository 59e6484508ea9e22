#include "startup/main.h"

#include <optional>

#include "config/machine_part.h"
#include "config/redirection_arguments.h"
#include "convert/convert.h"
#include "settings/settings.h"
#include "startup/command_line.h"
#include "startup/document_name.h"
#include "startup/job_file.h"
#include "startup/job_log.h"
#include "startup/load_settings.h"
#include "startup/prompt.h"
#include "startup/unattended.h"
#include "toolkit/error_report.h"
#include "toolkit/text.h"

namespace vellum::startup {

namespace {

void ReportNotConverted(toolkit::MsgBox& msgBox, const std::string& reason,
                        const std::string& jobPath, const std::string& advice = "") {
    msgBox.Show("The print job was not converted, because " + reason + ":\r\n" + jobPath +
                    (advice.empty() ? "" : "\r\n\r\n" + advice),
                "Error!", toolkit::Icon::Error);
}

// Holds the job while the user completes the settings in the window the load opened, reading
// them again after each Save; true once they are complete. False after the user gave up (a
// message then says the job was not converted) or the program was ended, and at once where no
// window can be seen.
bool SettingsCompleted(Services& s, SettingsServices& settings, SettingsState state,
                       const std::string& jobPath) {
    if (state == SettingsState::Incomplete && !settings.canShowWindows) {
        ReportNotConverted(s.msgBox, "the settings are not complete and no one can see a window",
                           jobPath, "An administrator can complete them in \"Configure Vellum\".");
        return false;
    }
    const std::string document =
        state == SettingsState::Incomplete ? JobDocumentTitle(s.environment, s.files, jobPath) : "";
    while (state == SettingsState::Incomplete) {
        switch (s.config.HoldUntilClosed(document, s.msgBox)) {
            case config::ConfigOutcome::Saved:
                state = LoadSettings(settings);
                break;
            case config::ConfigOutcome::Closed:
                ReportNotConverted(s.msgBox, "the settings were not completed", jobPath,
                                   "Print the document again once the settings are saved.");
                return false;
            case config::ConfigOutcome::Ended:
                return false;
        }
    }
    if (state == SettingsState::Unreadable) {
        ReportNotConverted(s.msgBox, "the settings could not be read", jobPath);
        return false;
    }
    return true;
}

// A window that never shows: where no one can see it, a long conversion runs without one.
class NoProgressWindow : public convert::ProgressWindow {
public:
    void Open(const std::string&) override {}
    void ShowTime(const std::string&) override {}
    bool CancelRequested() override { return false; }
    void Close() override {}
};

// What follows a written PDF, as the user set it: mail, then the PDF shown.
void AfterWritten(Services& s, const std::string& pdfPath) {
    if (toolkit::TrimSpaces(settings::Settings.sendMail) == "1")
        mail::SendDocuments(s.mapi, s.msgBox, 0, ";", pdfPath, FileNameOf(pdfPath));
    if (settings::Settings.openPdf != "1") return;
    const std::string problem = s.viewer.Open(pdfPath);
    if (!problem.empty()) {
        s.msgBox.Show(
            "The PDF was saved as " + pdfPath + ", but it could not be opened:\r\n" + problem,
            "Vellum", toolkit::Icon::Warning);
    }
}

void Failed(JobEntry& entry, const std::string& detail) {
    entry.result = "failed";
    entry.detail = detail;
}

// The convert mode, with `s.msgBox` logging; fills `entry` with what became of the job.
MainResult ConvertJob(Services& s, const std::string& commandTail, JobLog& log, JobEntry& entry) {
    const bool windows = entry.mode != "no window";
    bool pdfWritten = false;
    try {
        // Named from the start, so that every line of the job says which document it concerns.
        log.SetDocument(
            JobDocumentTitle(s.environment, s.files, s.files.FullPath(JobPathOf(commandTail))));
        SettingsServices settings{
            s.registry, s.files,    s.msgBox,
            s.config,   &s.machine, [&log](const std::string& text) { log.Message(text); },
            windows};
        const SettingsState state = LoadSettings(settings);
        const std::optional<std::string> jobPath =
            CheckJobFile(s.files, s.msgBox, JobPathOf(commandTail));
        if (!jobPath) {
            Failed(entry, "the job file is missing");
            return {AfterMain::EndProgram, kExitNotConverted};
        }
        const std::string title = JobDocumentTitle(s.environment, s.files, *jobPath);
        if (!SettingsCompleted(s, settings, state, *jobPath)) {
            Failed(entry, "the settings are not complete");
            return {AfterMain::EndProgram, kExitNotConverted};
        }

        convert::ConvertFacts facts;
        bool asked = windows && settings::Settings.saveMode != settings::kAutoMode;
        if (!asked) {
            const std::string user = JobUser(s.environment, s.session);
            const std::string& autoDir = settings::Settings.autoDir;
            // Automatic saving falls back on the PDF folder, the unseen job on its own folder.
            const std::string folder =
                windows ? ExpandFolderSetting(autoDir.empty() ? settings::Settings.defDir : autoDir,
                                              s.environment, user)
                        : UnattendedFolder(autoDir, s.environment, user);
            WithoutAskingResult saved = SaveWithoutAsking(s, folder, title, *jobPath);
            if (saved.result == SavedWithoutAsking::FolderUnusable) {
                const std::string fallback = UnattendedFolder("", s.environment, user);
                if (windows) {
                    // Someone is there: Save As takes over, and says why.
                    s.msgBox.Show(FallbackToSaveAsText(folder, saved.problem), "Vellum",
                                  toolkit::Icon::Warning);
                    asked = true;
                } else if (folder != fallback) {
                    s.msgBox.Show(FallbackText(folder, saved.problem, fallback), "Vellum",
                                  toolkit::Icon::Warning);
                    saved = SaveWithoutAsking(s, fallback, title, *jobPath);
                }
                if (saved.result == SavedWithoutAsking::FolderUnusable && !asked)
                    s.msgBox.Show("The print job was not converted, because the folder " +
                                      fallback + " cannot take the PDF: " + saved.problem,
                                  "Error!", toolkit::Icon::Error);
            }
            pdfWritten = saved.result == SavedWithoutAsking::Written;
            entry.pdfPath = saved.path;
            facts = saved.facts;
            if (saved.result == SavedWithoutAsking::FolderUnusable) facts.errorLine = saved.problem;
            if (windows && !asked) entry.mode = "automatic";
        }
        if (asked) {
            facts = {};  // what an automatic attempt left is no part of the asked job's result
            s.events.DoEvents();
            const std::string folder = SaveAsFolder(s.files, settings::Settings.defDir);
            const std::string name = PdfNameFor(title, folder);
            const PdfChoice choice =
                PromptForPdfPath(s.dialogs, s.msgBox, folder, name.empty() ? name : name + ".pdf");
            if (choice.result == PromptResult::Cancelled) {
                entry.result = "cancelled";
                return {AfterMain::EndProgram, kExitDone};
            }
            if (choice.result == PromptResult::Failed) {
                Failed(entry, "Save As failed");
                return {AfterMain::EndProgram, kExitNotConverted};
            }
            entry.pdfPath = choice.path;
            pdfWritten = convert::ConvertToPdf(s.runner, s.files, s.msgBox, s.progress,
                                               settings::Settings, choice.path, *jobPath, &facts);
        }
        entry.exitCode = facts.exitCode;
        if (pdfWritten)
            entry.result = "written";
        else if (facts.cancelled)
            entry.result = "cancelled";
        else
            Failed(entry, facts.errorLine);
        // Mail and a PDF shown need someone at the screen.
        if (pdfWritten && windows) AfterWritten(s, entry.pdfPath);
        return {AfterMain::EndProgram, pdfWritten ? kExitDone : kExitNotConverted};
    } catch (const toolkit::RuntimeError& e) {
        toolkit::ErrorReport(s.msgBox, toolkit::ReportForm::Short, e);
        if (!pdfWritten) Failed(entry, e.Description());
        return {AfterMain::EndProgram, pdfWritten ? kExitDone : kExitNotConverted};
    }
}

}  // namespace

std::string FileNameOf(const std::string& path) {
    const size_t slash = path.rfind('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

MainResult Main(Services& s, const std::string& commandTail) {
    // The elevated run of a standard user's Save: nothing else, and nothing shown.
    if (config::IsMachineCommand(commandTail))
        return {AfterMain::EndProgram, config::ApplyMachineCommand(s.registry, commandTail,
                                                                   config::RedirectionArguments(
                                                                       s.app.path, s.app.exeName))};

    const Mode mode = ChooseMode(commandTail);
    if (mode == Mode::Convert) {
        const double start = s.session.Seconds();
        JobEntry entry;
        entry.mode = s.session.CanShowWindows() ? "asked" : "no window";
        JobLog log(s.files, s.session, ProgramDataFolder(s.environment),
                   JobUser(s.environment, s.session));
        LoggedMsgBox msgBox(s.msgBox, log, entry.mode != "no window");
        NoProgressWindow noProgress;
        Services job{s.registry, s.files,       msgBox,
                     s.runner,   s.config,      s.sendMail,
                     s.mapi,     s.events,      entry.mode != "no window" ? s.progress : noProgress,
                     s.dialogs,  s.environment, s.session,
                     s.machine,  s.viewer,      s.app};
        const MainResult result = ConvertJob(job, commandTail, log, entry);
        entry.seconds = s.session.Seconds() - start;
        log.Job(entry);
        return result;
    }

    try {
        SettingsServices settings{s.registry, s.files, s.msgBox, s.config, &s.machine};
        LoadSettings(settings);
        if (mode == Mode::Configure) {
            s.config.Show();
        } else {
            s.sendMail.Show();
        }
    } catch (const toolkit::RuntimeError& e) {
        // A hidden configuration window must not keep the process alive: the loop ends with it.
        toolkit::ErrorReport(s.msgBox, toolkit::ReportForm::Short, e);
    }
    return {AfterMain::RunMessageLoop};
}

}  // namespace vellum::startup
