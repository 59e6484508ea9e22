#include "startup/print_job.h"

#include "startup/document_name.h"
#include "startup/job_log.h"

namespace vellum::startup {

PrintJob ReadPrintJob(toolkit::FileSystem& files, toolkit::ProcessEnvironment& environment,
                      toolkit::Session& session, const std::string& jobArgument) {
    PrintJob job;
    job.path = jobArgument.empty() ? "" : files.FullPath(jobArgument);
    const std::string head = files.ReadBytes(job.path, 0, kTitleSearchBytes);
    job.title = DocumentTitle(environment.Variable("REDMON_DOCNAME").value_or(""), head);
    job.creator = DscComment(head, "%%Creator:");
    job.user = JobUser(environment, session);
    job.canShowWindows = session.CanShowWindows();
    return job;
}

}  // namespace vellum::startup
