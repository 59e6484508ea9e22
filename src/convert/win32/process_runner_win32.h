#pragma once

#include "convert/process_runner.h"

namespace vellum::win32 {

// CreateProcessA with the output going to a temporary file, which can never fill up and stall
// the process the way a pipe nobody reads would.
class Win32ProcessRunner : public convert::ProcessRunner {
public:
    convert::ProcessResult RunAndWait(const std::string& commandLine, int showWindow) override;
};

}  // namespace vellum::win32
