#include "startup/main.h"

#include <optional>

#include "convert/convert.h"
#include "settings/settings.h"
#include "startup/command_line.h"
#include "startup/document_name.h"
#include "startup/job_file.h"
#include "startup/load_settings.h"
#include "startup/prompt.h"
#include "startup/save_without_asking.h"
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
// message then says the job was not converted) or the program was ended.
bool SettingsCompleted(Services& s, SettingsServices& settings, SettingsState state,
                       const std::string& jobPath) {
    const std::string document =
        state == SettingsState::Incomplete ? JobDocumentTitle(s.environment, s.files, jobPath) : "";
    while (state == SettingsState::Incomplete) {
        switch (s.config.HoldUntilClosed(document)) {
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

// The asking mode: Save As, then the conversion. Nothing when the user cancelled.
std::optional<bool> AskAndConvert(Services& s, const std::string& document,
                                  const std::string& jobPath, std::string& pdfPath) {
    const std::string folder = SaveAsFolder(s.files, settings::Settings.defDir);
    const std::string name = PdfNameFor(document, folder);
    const PdfChoice choice =
        PromptForPdfPath(s.dialogs, s.msgBox, folder, name.empty() ? name : name + ".pdf");
    if (choice.result == PromptResult::Cancelled) return std::nullopt;
    if (choice.result == PromptResult::Failed) return false;
    pdfPath = choice.path;
    return convert::ConvertToPdf(s.runner, s.files, s.msgBox, s.progress, settings::Settings,
                                 pdfPath, jobPath);
}

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

}  // namespace

std::string FileNameOf(const std::string& path) {
    const size_t slash = path.rfind('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

MainResult Main(Services& s, const std::string& commandTail) {
    const Mode mode = ChooseMode(commandTail);
    bool pdfWritten = false;
    try {
        SettingsServices settings{s.registry, s.files, s.msgBox, s.config};
        const SettingsState state = LoadSettings(settings);

        if (mode == Mode::Configure) {
            s.config.Show();
            return {AfterMain::RunMessageLoop};
        }
        if (mode == Mode::Mail) {
            s.sendMail.Show();
            return {AfterMain::RunMessageLoop};
        }

        const std::optional<std::string> jobPath =
            CheckJobFile(s.files, s.msgBox, JobPathOf(commandTail));
        if (!jobPath || !SettingsCompleted(s, settings, state, *jobPath))
            return {AfterMain::EndProgram, kExitNotConverted};

        s.events.DoEvents();
        const std::string document = JobDocumentTitle(s.environment, s.files, *jobPath);
        std::string pdfPath;
        bool asked = true;
        if (settings::Settings.saveMode == settings::kAutoMode) {
            const std::string& autoDir = settings::Settings.autoDir;
            const std::string folder = autoDir.empty() ? settings::Settings.defDir : autoDir;
            const WithoutAskingResult saved =
                SaveWithoutAsking(s, folder, document, *jobPath, FileNameTimestamp());
            asked = saved.result == SavedWithoutAsking::FolderUnusable;
            pdfWritten = saved.result == SavedWithoutAsking::Written;
            pdfPath = saved.path;
            // A window can be shown here: Save As takes over, and says why.
            if (asked)
                s.msgBox.Show(FallbackToSaveAsText(folder, saved.problem), "Vellum",
                              toolkit::Icon::Warning);
        }
        if (asked) {
            const std::optional<bool> converted = AskAndConvert(s, document, *jobPath, pdfPath);
            if (!converted) return {AfterMain::EndProgram, kExitDone};
            pdfWritten = *converted;
        }
        if (pdfWritten) AfterWritten(s, pdfPath);
        return {AfterMain::EndProgram, pdfWritten ? kExitDone : kExitNotConverted};
    } catch (const toolkit::RuntimeError& e) {
        toolkit::ErrorReport(s.msgBox, toolkit::ReportForm::Short, e);
        // A hidden configuration window must not keep a finished job's process alive.
        if (mode != Mode::Convert) return {AfterMain::RunMessageLoop};
        return {AfterMain::EndProgram, pdfWritten ? kExitDone : kExitNotConverted};
    }
}

}  // namespace vellum::startup
