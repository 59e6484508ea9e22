#pragma once

#include <string>

#include "config/config_window.h"
#include "toolkit/msg_box.h"

namespace vellum::startup {

inline constexpr const char* kPdfFilter = "Adobe PDF Files (*.pdf)|*.pdf|All Files (*.*)|*.*";

// Asks where the PDF goes with the Save As dialog of the configuration window (loading it
// hidden), opening in `initDir`. Returns the chosen path, ".pdf" added to a name typed without
// extension; "" when the user cancelled (silently) or on a trapped error (after the short
// ErrorReport).
std::string PromptForPdfPath(config::ConfigWindow& config, toolkit::MsgBox& msgBox,
                             const std::string& initDir);

}  // namespace vellum::startup
