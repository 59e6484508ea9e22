#pragma once

// A print job no one sees that could not become a PDF is never dropped: the job itself is kept
// for its user, where the PDF would have gone or in %ProgramData%\Vellum\Failed\<user>.

#include <optional>
#include <string>
#include <vector>

#include "startup/saving_plan.h"
#include "toolkit/file_system.h"
#include "toolkit/session.h"

namespace vellum::startup {

// A folder a failed job may be kept in, and the part of it made for the user.
struct KeepPlace {
    std::string folder;
    std::string userFolder;
    bool vellumsOwn = false;  // `userFolder` lies in Vellum's own machine folders
};

// Where the job is kept, in order of trying: the folder of `tookJob`, the step whose folder
// could take the job but Ghostscript could not make its PDF (none when no folder took it), then
// the user's Failed folder.
std::vector<KeepPlace> KeepPlaces(const std::optional<SaveStep>& tookJob,
                                  const std::string& programData, const std::string& user);

// "<document> <yyyy-mm-dd hh-mm-ss>", or "Vellum <...>" for a job without a document name.
std::string KeptJobName(const std::string& title, const std::string& folder,
                        const toolkit::LocalTime& now);

struct KeptJob {
    std::string path;  // where the job is kept, "" when nowhere
    std::string why;   // when nowhere: why the last place could not take it
    std::string note;  // for the log: how the folder was made
};

// Copies the job `jobPath` into the first place that takes it (its folder made and checked as
// a PDF's folder is, MakeTrustedFolder) as `name`.ps, or `name` (2).ps ... when that is taken.
KeptJob KeepJob(toolkit::FileSystem& files, const std::vector<KeepPlace>& places,
                const std::string& name, const std::string& jobPath, const std::string& user);

}  // namespace vellum::startup
