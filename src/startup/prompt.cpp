#include "startup/prompt.h"

#include "toolkit/error_report.h"

namespace vellum::startup {

PdfChoice PromptForPdfPath(config::ConfigWindow& config, toolkit::MsgBox& msgBox,
                           const std::string& initDir) {
    toolkit::CommonDialog* dlg = nullptr;
    try {
        dlg = &config.Dlg();
        dlg->FileName = "";
        dlg->Filter = kPdfFilter;
        dlg->InitDir = initDir;
        dlg->Flags = toolkit::kOfnOverwritePrompt;
        dlg->DefaultExt = "pdf";
        dlg->CancelError = true;
        dlg->ShowSave();
        std::string path = dlg->FileName;
        dlg->DefaultExt.clear();  // the window's own pickers set no extension
        return {PromptResult::Chosen, path};
    } catch (const toolkit::RuntimeError& e) {
        if (dlg != nullptr) dlg->DefaultExt.clear();
        // Only the user's cancel is silent: a dialog that failed must not lose the job unseen.
        if (dlg != nullptr && dlg->CancelError && e.Number() == toolkit::kErrCommonDialogCancel)
            return {PromptResult::Cancelled, ""};
        toolkit::ErrorReport(msgBox, toolkit::ReportForm::Short, e);
        return {PromptResult::Failed, ""};
    }
}

std::string SaveAsFolder(toolkit::FileSystem& files, const std::string& defDir) {
    return files.FolderExists(defDir) ? defDir : std::string();
}

}  // namespace vellum::startup
