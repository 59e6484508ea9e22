#include "startup/main.h"

#include <optional>

#include "config/machine_part.h"
#include "config/redirection_arguments.h"
#include "convert/convert.h"
#include "settings/settings.h"
#include "startup/ask_pdf.h"
#include "startup/command_line.h"
#include "startup/handover.h"
#include "startup/job_file.h"
#include "startup/job_log.h"
#include "startup/kept_job.h"
#include "startup/load_settings.h"
#include "startup/prompt.h"
#include "startup/print_job.h"
#include "startup/saving_plan.h"
#include "toolkit/error_report.h"
#include "toolkit/paths.h"
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
                       const PrintJob& job) {
    if (state == SettingsState::Incomplete && !job.canShowWindows) {
        ReportNotConverted(s.msgBox, "the settings are not complete and no one can see a window",
                           job.path, "An administrator can complete them in \"Configure Vellum\".");
        return false;
    }
    while (state == SettingsState::Incomplete) {
        switch (s.config.HoldUntilClosed(job.title, s.msgBox)) {
            case config::ConfigOutcome::Saved:
                state = LoadSettings(settings);
                break;
            case config::ConfigOutcome::Closed:
                ReportNotConverted(s.msgBox, "the settings were not completed", job.path,
                                   "Print the document again once the settings are saved.");
                return false;
            case config::ConfigOutcome::Ended:
                return false;
        }
    }
    if (state == SettingsState::Unreadable) {
        ReportNotConverted(s.msgBox, "the settings could not be read", job.path);
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
void AfterWritten(Services& s, const settings::SettingsRecord& record, const std::string& pdfPath) {
    if (toolkit::TrimSpaces(record.sendMail) == "1")
        mail::SendDocuments(s.mapi, s.msgBox, 0, ";", pdfPath, FileNameOf(pdfPath));
    if (record.openPdf != "1") return;
    const std::string problem = s.viewer.Open(pdfPath);
    if (!problem.empty()) {
        s.msgBox.Show(
            "The PDF was saved as " + pdfPath + ", but it could not be opened:\r\n" + problem,
            "Vellum", toolkit::Icon::Warning);
    }
}

MainResult NotConverted(JobEntry& entry, const std::string& detail) {
    entry.result = "failed";
    entry.detail = detail;
    return {AfterMain::EndProgram, kExitNotConverted};
}

JobEnvironment EnvironmentOf(Services& s) {
    return {[&s](const std::string& name) { return s.environment.Variable(name); },
            [&s](const std::string& folder) { return s.files.FolderExists(folder); },
            s.session.Now(), ProgramDataFolder(s.environment)};
}

// The job's log entry and the process's exit code from what became of the job. A cancelled
// Save As names no PDF: nothing was to be made, and that is no failure.
int Conclude(JobEntry& entry, const SaveStep& step, const convert::ConversionResult& result) {
    entry.mode = step.mode;
    entry.exitCode = result.exitCode;
    entry.pdfPath = result.pdfPath;
    switch (result.outcome) {
        case convert::Outcome::Written:
            entry.result = "written";
            return kExitDone;
        case convert::Outcome::Cancelled:
            entry.result = "cancelled";
            return result.pdfPath.empty() ? kExitDone : kExitNotConverted;
        default:
            NotConverted(entry, result.logLine);
            return kExitNotConverted;
    }
}

// One step of the plan carried out: Save As asks, then the job is converted to its choice; or
// the job is converted into the step's folder. A cancelled Save As is a Cancelled result that
// names no PDF.
convert::ConversionResult CarryOut(Services& s, const settings::SettingsRecord& record,
                                   const PrintJob& job, const SaveStep& step) {
    convert::ConvertServices converting{s.runner, s.files, s.msgBox, s.progress};
    const convert::DocumentInfo info{job.title, job.user, job.creator};
    if (step.way == SaveWay::IntoFolder)
        return convert::ConvertToPdf(
            converting, record,
            {toolkit::JoinPath(step.folder, step.name) + ".pdf", true, step.userFolder, job.user,
             job.canShowWindows ? 0 : settings::GsTimeoutSeconds(record), step.addPages,
             step.vellumsOwn},
            job.path, info);
    s.events.DoEvents();
    const AskedPdf choice =
        AskForPdf(s.dialogs, s.msgBox, s.question, s.files, step.folder, step.name);
    if (choice.result == PromptResult::Chosen)
        return convert::ConvertToPdf(converting, record,
                                     {choice.path, false, "", job.user, 0, choice.addPages},
                                     job.path, info);
    convert::ConversionResult none;
    none.outcome = choice.result == PromptResult::Cancelled ? convert::Outcome::Cancelled
                                                            : convert::Outcome::Failed;
    none.logLine = "Save As failed";
    return none;
}

// Where no one sees this process's windows, the job goes to a Vellum in its printing user's
// session, and this one ends as that one does; false when it stays here (the log says why).
bool HandedOver(Services& s, const PrintJob& job, JobLog& log, JobEntry& entry, MainResult& ends) {
    if (job.canShowWindows || s.sessions == nullptr || job.path.empty() ||
        s.environment.Variable(kHandedOverMark))
        return false;
    const HandOverResult handed =
        HandOver(s.environment, *s.sessions, toolkit::JoinPath(s.app.path, s.app.exeName + ".exe"),
                 job.path, ProgramDataFolder(s.environment));
    if (!handed.handedOver) {
        log.Message("Not handed over to the printing user's session: " + handed.refusal.step +
                    ": " + handed.refusal.error);
        return false;
    }
    entry.mode = "handed over";
    entry.result = "handed over to " + handed.logLine;
    ends = {AfterMain::EndProgram, handed.exitCode};
    return true;
}

// An unseen job that did not become a PDF is kept for its user; its log line says where.
void KeepUnseenJob(Services& s, const PrintJob& job, const std::optional<SaveStep>& tookJob,
                   JobLog& log, JobEntry& entry) {
    if (!s.files.FileSize(job.path)) return;  // nothing left to keep
    const auto places = KeepPlaces(tookJob, ProgramDataFolder(s.environment), job.user);
    const KeptJob kept =
        KeepJob(s.files, places, KeptJobName(job.title, places.front().folder, s.session.Now()),
                job.path, job.user);
    if (!kept.note.empty()) log.Message(kept.note);
    entry.detail += kept.path.empty() ? "; the print job could not be kept: " + kept.why
                                      : "; the print job is kept as " + kept.path;
}

// The convert mode: load → check → plan → carry out the plan, with its one fallback → what
// follows a written PDF. Fills `entry` with what became of the job, and `tookJob` with the step
// whose folder took it.
MainResult ConvertJob(Services& s, const PrintJob& job, JobLog& log, JobEntry& entry,
                      std::optional<SaveStep>& tookJob) {
    if (MainResult ends; HandedOver(s, job, log, entry, ends)) return ends;
    SettingsServices settings{
        s.registry,        s.files,    s.msgBox,
        s.config,          &s.machine, [&log](const std::string& text) { log.Message(text); },
        job.canShowWindows};
    const SettingsState state = LoadSettings(settings);
    if (!CheckJobFile(s.files, s.msgBox, job.path))
        return NotConverted(entry, "the job file is missing");
    if (!SettingsCompleted(s, settings, state, job))
        return NotConverted(entry, "the settings are not complete");
    const settings::SettingsRecord record = settings::Settings;

    const SavingPlan plan = PlanSaving(record, job, EnvironmentOf(s));
    if (!plan.logNote.empty()) log.Message(plan.logNote);
    if (!plan.notice.empty()) s.msgBox.Show(plan.notice, "Vellum", toolkit::Icon::Warning);
    SaveStep step = plan.first;
    const auto carryOut = [&] {
        convert::ConversionResult done = CarryOut(s, record, job, step);
        if (!done.note.empty()) log.Message(done.note);
        if (done.outcome != convert::Outcome::FolderUnusable) tookJob = step;
        return done;
    };
    convert::ConversionResult result = carryOut();
    if (result.outcome == convert::Outcome::FolderUnusable) {
        const convert::Message told = FallbackMessage(step, result.logLine, plan.fallback);
        s.msgBox.Show(told.text, told.title, told.icon);
        if (plan.fallback) {
            step = *plan.fallback;
            result = carryOut();
        }
    }
    convert::Tell(s.msgBox, result);

    const int exitCode = Conclude(entry, step, result);
    // Mail and a PDF shown need someone at the screen.
    if (result.outcome == convert::Outcome::Written && job.canShowWindows)
        AfterWritten(s, record, result.pdfPath);
    return {AfterMain::EndProgram, exitCode};
}

// The convert mode with its log: each message is logged, and shown only where someone can see
// it; whatever ends the job, even a failure no one foresaw, the job gets its log line.
MainResult ConvertLogged(Services& s, const std::string& commandTail) {
    const double start = s.session.Seconds();
    const PrintJob job = ReadPrintJob(s.files, s.environment, s.session, JobPathOf(commandTail));
    JobEntry entry;
    entry.mode = job.canShowWindows ? "asked" : "no window";
    JobLog log(s.files, s.session, JobLogFolder(s.environment, job.canShowWindows), job.user);
    log.SetDocument(job.title);  // so that every line of the job says which document it concerns
    LoggedMsgBox msgBox(s.msgBox, log, job.canShowWindows);
    NoProgressWindow noProgress;
    Services logged{s.registry, s.files,    msgBox,
                    s.runner,   s.config,   s.sendMail,
                    s.mapi,     s.events,   job.canShowWindows ? s.progress : noProgress,
                    s.dialogs,  s.question, s.environment,
                    s.session,  s.machine,  s.viewer,
                    s.app,      s.sessions};
    MainResult result;
    std::optional<SaveStep> tookJob;
    try {
        result = ConvertJob(logged, job, log, entry, tookJob);
    } catch (const std::exception& e) {
        const auto* trapped = dynamic_cast<const toolkit::RuntimeError*>(&e);
        const toolkit::RuntimeError error =
            trapped ? *trapped : toolkit::RuntimeError(51, toolkit::kVellumSource, e.what());
        toolkit::ErrorReport(msgBox, toolkit::ReportForm::Short, error);
        // A PDF written before the failure (a mail library missing) stays written.
        result =
            entry.result == "written" ? MainResult{} : NotConverted(entry, error.Description());
    }
    if (!job.canShowWindows && entry.result == "failed") KeepUnseenJob(s, job, tookJob, log, entry);
    entry.seconds = s.session.Seconds() - start;
    log.Job(entry);
    return result;
}

}  // namespace

std::string FileNameOf(const std::string& path) {
    const size_t slash = path.rfind('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

MainResult Main(Services& s, const std::string& commandTail) {
    // The elevated run of a standard user's Save: nothing else, and nothing shown.
    if (config::IsMachineCommand(commandTail))
        return {AfterMain::EndProgram, config::ApplyMachineCommand(s.registry, s.files, commandTail,
                                                                   config::RedirectionArguments(
                                                                       s.app.path, s.app.exeName))};

    const Mode mode = ChooseMode(commandTail);
    if (mode == Mode::Convert) return ConvertLogged(s, commandTail);

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
