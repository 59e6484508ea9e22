#pragma once

#include <string>

#include "startup/prompt.h"
#include "toolkit/common_dialog.h"
#include "toolkit/file_system.h"
#include "toolkit/msg_box.h"
#include "toolkit/task_dialog.h"

namespace vellum::startup {

struct AskedPdf {
    PromptResult result = PromptResult::Cancelled;
    std::string path;       // when Chosen
    bool addPages = false;  // the job's pages go at the end of the existing PDF at `path`
};

// Save As (which asks nothing about an existing file), then, when the chosen file exists,
// Vellum's own question "<name> already exists." with Replace, Add pages and Cancel. Cancel
// (or Esc) opens Save As again with the name kept; Add pages on a file that cannot take pages
// says why and that it was not changed, then opens Save As again.
AskedPdf AskForPdf(toolkit::FileDialogs& dialogs, toolkit::MsgBox& msgBox,
                   toolkit::TaskDialog& question, toolkit::FileSystem& files,
                   const std::string& initDir, const std::string& fileName);

}  // namespace vellum::startup
