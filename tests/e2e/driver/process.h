#pragma once

#include <windows.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "driver/error.h"

namespace vellum::e2e {

using namespace std::chrono_literals;

// The time-out every wait takes unless the test names another one.
inline constexpr std::chrono::milliseconds kDefaultTimeout = 10s;

using Environment = std::vector<std::pair<std::string, std::string>>;

// A program started for a test. Move-only; on destruction a process that still runs is killed,
// so that a failed test leaves nothing behind for the next one.
class Process {
public:
    // Starts `"exePath" argsTail` with the driver's own environment plus `extraEnv` (which
    // replaces variables of the same name) in `workDir` (empty: the driver's). Throws DriverError
    // with the system's reason when the program cannot be started. `desktop` ("station\\desktop")
    // puts it on another window station's desktop; empty: the driver's.
    static Process Start(const std::string& exePath, const std::string& argsTail,
                         const Environment& extraEnv = {}, const std::string& workDir = "",
                         const std::string& desktop = "");
    // Starts `exePath` with exactly `commandLine` as the child's command line, as Windows does
    // for every parent (RedRun, Explorer): an unquoted program path with blanks stays unquoted.
    // Wine's CreateProcess quotes such a path before the child sees it, so this goes below it
    // (ntdll's process creation) and shows under Wine what the program meets on Windows.
    // `exePath` must be a full path. Environment, folder and failures as for Start.
    static Process StartVerbatim(const std::string& exePath, const std::string& commandLine,
                                 const Environment& extraEnv = {}, const std::string& workDir = "");
    // Takes over a running program that another program started (the print chain's vellum.exe,
    // started by RedRun), so that it can be driven like a started one; it is killed on
    // destruction in the same way. Throws DriverError when the process cannot be opened.
    static Process Attach(DWORD processId);

    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process();

    DWORD Id() const { return id_; }
    DWORD MainThreadId() const { return threadId_; }
    HANDLE Handle() const { return process_; }
    const std::string& CommandLine() const { return commandLine_; }

    bool Running() const;
    // True when the process has ended within `timeout`.
    bool WaitExit(std::chrono::milliseconds timeout) const;
    // Waits for the end and returns the exit code; throws DriverError (with the process's windows)
    // when it still runs after `timeout`.
    DWORD WaitExitCode(std::chrono::milliseconds timeout = kDefaultTimeout) const;
    // The exit code of an ended process; throws DriverError while it runs.
    DWORD ExitCode() const;
    // Terminates the process if it still runs and waits until it is gone.
    void Kill();

private:
    Process(HANDLE process, HANDLE thread, DWORD id, DWORD threadId, std::string commandLine);
    void Close() noexcept;

    HANDLE process_ = nullptr;
    HANDLE thread_ = nullptr;
    DWORD id_ = 0;
    DWORD threadId_ = 0;
    std::string commandLine_;
};

// The ids of the running processes whose executable file name (without folder) is `imageName`,
// compared without regard to case.
std::vector<DWORD> ProcessesNamed(const std::string& imageName);

// The path of a file next to the running test executable (where the build puts every program).
std::string SiblingPath(const std::string& fileName);

}  // namespace vellum::e2e
