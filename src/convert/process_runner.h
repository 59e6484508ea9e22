#pragma once

#include <cstdint>
#include <string>

namespace vellum::convert {

inline constexpr int kSwHide = 0;

struct ProcessResult {
    bool started = false;
    std::uint32_t exitCode = 0;  // meaningful only when started
    std::string output;          // what the process wrote to stdout and stderr, interleaved
    std::string startError;      // the system's wording of why it could not start
};

// Starts a command line (its first word names the program) and blocks until the process
// ends, without a time-out. Output is captured without any risk of a full pipe stalling it.
class ProcessRunner {
public:
    virtual ~ProcessRunner() = default;
    virtual ProcessResult RunAndWait(const std::string& commandLine, int showWindow) = 0;
};

}  // namespace vellum::convert
