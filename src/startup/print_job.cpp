#include "startup/print_job.h"

#include "startup/document_name.h"
#include "startup/job_log.h"

namespace vellum::startup {

PrintJob ReadPrintJob(toolkit::FileSystem& files, toolkit::ProcessEnvironment& environment,
                      toolkit::Session& session, const std::string& jobArgument) {
    PrintJob job;
    job.path = jobArgument.empty() ? "" : files.FullPath(jobArgument);
    job.title = JobDocumentTitle(environment, files, job.path);
    job.user = JobUser(environment, session);
    job.canShowWindows = session.CanShowWindows();
    return job;
}

}  // namespace vellum::startup
