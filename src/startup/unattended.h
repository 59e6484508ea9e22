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

enum class SavedWithoutAsking {
    Written,         // the PDF is at `path`
    NotConverted,    // the user was told why; no file was left behind
    FolderUnusable,  // nothing was done: `problem` says why the folder cannot take the PDF
};

struct WithoutAskingResult {
    SavedWithoutAsking result = SavedWithoutAsking::NotConverted;
    std::string path;
    std::string problem;
    convert::ConvertFacts facts;
};

// Converts the job into `folder` (made as needed) as "<document>.pdf", or "<document> (2).pdf"
// and so on when that is taken, so that an existing file is never replaced and two jobs at once
// get two files; a job without a document name is named "Vellum <yyyy-mm-dd hh-mm-ss>". Converts
// as the asking mode does (progress window, Cancel, messages to `s.msgBox`). The reserved name
// is removed again when no PDF is made.
WithoutAskingResult SaveWithoutAsking(Services& s, const std::string& folder,
                                      const std::string& documentTitle, const std::string& jobPath);

// What the user is told when automatic saving cannot use `folder` and Save As asks instead.
std::string FallbackToSaveAsText(const std::string& folder, const std::string& problem);
// ... and where no one is asked, the job goes to `fallback` instead.
std::string FallbackText(const std::string& folder, const std::string& problem,
                         const std::string& fallback);

}  // namespace vellum::startup
