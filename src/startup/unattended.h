#pragma once

// Saving a job without asking anyone: where no one can see a window, and wherever else a job
// is to be saved into a folder of its own under a name no file has.

#include <string>

#include "convert/convert.h"
#include "startup/main.h"
#include "toolkit/process_environment.h"
#include "toolkit/session.h"

namespace vellum::startup {

// `text` with each %NAME% replaced by the variable's value (one that is not set stays as
// written, as Windows' own expansion leaves it) and each "<user>" by `user`.
std::string ExpandFolderSetting(const std::string& text, toolkit::ProcessEnvironment& environment,
                                const std::string& user);

// Where a job no one is asked about goes: autoDir expanded, else
// %ProgramData%\Vellum\Unsaved\<user>.
std::string UnattendedFolder(const std::string& autoDir, toolkit::ProcessEnvironment& environment,
                             const std::string& user);

struct SavedWithoutAsking {
    bool written = false;
    std::string pdfPath;  // "" when no name could be had
    convert::ConvertFacts facts;
};

// Converts the job into `folder` (made as needed) as "<document>.pdf", or "<document> (2).pdf"
// and so on when that is taken, never replacing a file; a job without a document name is named
// "Vellum <yyyy-mm-dd hh-mm-ss>". Messages go to `s.msgBox`. The reserved name is removed again
// when no PDF is made.
SavedWithoutAsking SaveWithoutAsking(Services& s, const std::string& folder,
                                     const std::string& documentTitle, const std::string& jobPath);

}  // namespace vellum::startup
