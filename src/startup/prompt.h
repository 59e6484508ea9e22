#pragma once

#include <string>

#include "toolkit/common_dialog.h"
#include "toolkit/file_system.h"
#include "toolkit/msg_box.h"

namespace vellum::startup {

inline constexpr const char* kPdfFilter = "Adobe PDF Files (*.pdf)|*.pdf|All Files (*.*)|*.*";

enum class PromptResult { Chosen, Cancelled, Failed };

struct PdfChoice {
    PromptResult result = PromptResult::Cancelled;
    std::string path;  // when Chosen
};

// Asks where the PDF goes with a Save As dialog set up afresh (its own title, filter, flags and
// folder, whatever an Open dialog did before), opening in `initDir` with `fileName` proposed.
// Nothing of the configuration window is loaded for it. Chosen: the path, ".pdf" added to a
// name typed without extension. Cancelled: the user cancelled, silently. Failed: a trapped
// error, after the short ErrorReport.
PdfChoice PromptForPdfPath(toolkit::FileDialogs& dialogs, toolkit::MsgBox& msgBox,
                           const std::string& initDir, const std::string& fileName);

// The folder the Save As dialog is to open in: `defDir` when it is an existing folder the
// dialog can take, else "" (the dialog's own choice). A missing or overlong folder handed to
// the dialog has been seen to crash it.
std::string SaveAsFolder(toolkit::FileSystem& files, const std::string& defDir);

}  // namespace vellum::startup
