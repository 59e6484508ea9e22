#pragma once

#include <string>

#include "startup/main.h"

namespace vellum::startup {

enum class SavedWithoutAsking {
    Written,         // the PDF is at `path`
    NotConverted,    // the user was told why; no file was left behind
    FolderUnusable,  // nothing was done: `problem` says why the folder cannot take the PDF
};

struct WithoutAskingResult {
    SavedWithoutAsking result = SavedWithoutAsking::NotConverted;
    std::string path;
    std::string problem;
};

// Saves the job's PDF into `folder`, made when missing, with no dialog: under the name the
// document-name rules make of `document`, else "Vellum <timestamp>", with " (2)", " (3)", ...
// when the name is taken, so that an existing file is never replaced and two jobs at once get
// two files. Converts as the asking mode does (progress window, Cancel, its messages).
WithoutAskingResult SaveWithoutAsking(Services& services, const std::string& folder,
                                      const std::string& document, const std::string& jobPath,
                                      const std::string& timestamp);

// The local time as a file name takes it: "2026-12-07 14-05-09".
std::string FileNameTimestamp();

// What the user is told when automatic saving cannot use `folder` and Save As asks instead.
std::string FallbackToSaveAsText(const std::string& folder, const std::string& problem);

}  // namespace vellum::startup
