#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vellum::convert {

inline constexpr int kSwHide = 0;

// Variables set for the started process on top of the caller's environment; a name already
// there (in any case) takes the new value.
using Environment = std::vector<std::pair<std::string, std::string>>;

struct ProcessResult {
    bool started = false;
    std::uint32_t exitCode = 0;  // meaningful only when started and not cancelled
    std::string output;          // what the process wrote to stdout and stderr, interleaved
    std::string startError;      // the system's wording of why it could not start
    bool cancelled = false;      // ended on the observer's request: the exit code means nothing
    // The system's wording of an exit code that is a status of abnormal end (0xC0000000 and
    // above: a crash); empty otherwise or when the system has none.
    std::string exitCodeWording = {};
};

// Looks in on a running process from the waiting thread, which keeps window events flowing
// meanwhile.
class RunObserver {
public:
    virtual ~RunObserver() = default;
    // Called a few times a second while the process runs, with the time since it started.
    // True asks for the process (and whatever it started) to be ended now.
    virtual bool WantsEnd(std::chrono::milliseconds elapsed) = 0;
};

struct RunOptions {
    Environment environment;
    RunObserver* observer = nullptr;  // none: nothing looks in, the wait still keeps events flowing
};

// Starts a command line (its first word names the program) and waits until the process ends,
// without a time-out. Output is captured without any risk of a full pipe stalling it. The
// process and everything it starts end at the latest when this program ends, however it ends.
class ProcessRunner {
public:
    virtual ~ProcessRunner() = default;
    virtual ProcessResult RunAndWait(const std::string& commandLine, int showWindow,
                                     const RunOptions& options) = 0;
};

}  // namespace vellum::convert
