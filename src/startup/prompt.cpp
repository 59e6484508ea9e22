#include "startup/prompt.h"

#include "toolkit/error_report.h"

namespace vellum::startup {

PdfChoice PromptForPdfPath(toolkit::FileDialogs& dialogs, toolkit::MsgBox& msgBox,
                           const std::string& initDir, const std::string& fileName) {
    toolkit::CommonDialog dlg(dialogs, "Save As");
    try {
        dlg.FileName = fileName;
        dlg.Filter = kPdfFilter;
        dlg.InitDir = initDir;
        // An existing file is asked about afterwards, with Add pages beside Replace (AskForPdf).
        dlg.Flags = 0;
        dlg.DefaultExt = "pdf";
        dlg.CancelError = true;
        dlg.ShowSave();
        return {PromptResult::Chosen, dlg.FileName};
    } catch (const toolkit::RuntimeError& e) {
        // Only the user's cancel is silent: a dialog that failed must not lose the job unseen.
        if (dlg.CancelError && e.Number() == toolkit::kErrCommonDialogCancel)
            return {PromptResult::Cancelled, ""};
        toolkit::ErrorReport(msgBox, toolkit::ReportForm::Short, e);
        return {PromptResult::Failed, ""};
    }
}

std::string SaveAsFolder(toolkit::FileSystem& files, const std::string& defDir) {
    return files.FolderExists(defDir) ? defDir : std::string();
}

}  // namespace vellum::startup
