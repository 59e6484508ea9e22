#pragma once

#include "convert/process_runner.h"

namespace vellum::win32 {

// CreateProcessW with the output going to a temporary file, which can never fill up and stall
// the process the way a pipe nobody reads would. The process runs in a job object that ends it
// (and anything it started) when the job's handle closes: at the end of the run, on cancel,
// and when this program ends, killed included. The wait keeps this thread's windows served
// (MsgWaitForMultipleObjects), so that a progress window can show and be cancelled.
class ProcessRunner : public convert::ProcessRunner {
public:
    convert::ProcessResult RunAndWait(const std::string& commandLine, int showWindow,
                                      const convert::RunOptions& options) override;
};

}  // namespace vellum::win32
