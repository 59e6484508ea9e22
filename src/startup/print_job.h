#pragma once

#include <string>

#include "toolkit/file_system.h"
#include "toolkit/process_environment.h"
#include "toolkit/session.h"

namespace vellum::startup {

// A print job as the convert mode finds it, read once at its start.
struct PrintJob {
    std::string path;             // the job file, made full; "" when none was named
    std::string title;            // the document's name (JobDocumentTitle); "" when it has none
    std::string user;             // who printed it (JobUser)
    bool canShowWindows = false;  // whether anyone sees this process's windows
    std::string creator = {};     // the printing application (the job's %%Creator comment)
};

PrintJob ReadPrintJob(toolkit::FileSystem& files, toolkit::ProcessEnvironment& environment,
                      toolkit::Session& session, const std::string& jobArgument);

}  // namespace vellum::startup
