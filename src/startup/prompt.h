#pragma once

#include <string>

#include "config/config_window.h"
#include "toolkit/file_system.h"
#include "toolkit/msg_box.h"

namespace vellum::startup {

inline constexpr const char* kPdfFilter = "Adobe PDF Files (*.pdf)|*.pdf|All Files (*.*)|*.*";

enum class PromptResult { Chosen, Cancelled, Failed };

struct PdfChoice {
    PromptResult result = PromptResult::Cancelled;
    std::string path;  // when Chosen
};

// Asks where the PDF goes with the Save As dialog of the configuration window (loading it
// hidden), opening in `initDir`. Chosen: the path, ".pdf" added to a name typed without
// extension. Cancelled: the user cancelled, silently. Failed: a trapped error, after the short
// ErrorReport.
PdfChoice PromptForPdfPath(config::ConfigWindow& config, toolkit::MsgBox& msgBox,
                           const std::string& initDir);

// The folder the Save As dialog is to open in: `defDir` when it is an existing folder the
// dialog can take, else "" (the dialog's own choice). A missing or overlong folder handed to
// the dialog has been seen to crash it.
std::string SaveAsFolder(toolkit::FileSystem& files, const std::string& defDir);

}  // namespace vellum::startup
