#include "driver/process.h"

#include <algorithm>
#include <cwctype>
#include <map>
#include <utility>

#include "driver/top_windows.h"
#include "toolkit/win32/strings.h"

namespace vellum::e2e {

namespace {

struct CaseInsensitiveLess {
    bool operator()(const std::wstring& a, const std::wstring& b) const {
        return std::lexicographical_compare(
            a.begin(), a.end(), b.begin(), b.end(),
            [](wchar_t x, wchar_t y) { return std::towupper(x) < std::towupper(y); });
    }
};

// The driver's environment with `extra` laid over it, as a CreateProcessW environment block.
std::wstring EnvironmentBlock(const Environment& extra) {
    std::map<std::wstring, std::wstring, CaseInsensitiveLess> variables;
    std::vector<std::wstring> hidden;  // "=C:=C:\..." entries keep their place and form
    if (wchar_t* strings = GetEnvironmentStringsW()) {
        for (const wchar_t* p = strings; *p; p += wcslen(p) + 1) {
            const std::wstring entry(p);
            const size_t equals = entry.find(L'=', 1);
            if (entry[0] == L'=' || equals == std::wstring::npos) {
                hidden.push_back(entry);
            } else {
                variables[entry.substr(0, equals)] = entry.substr(equals + 1);
            }
        }
        FreeEnvironmentStringsW(strings);
    }
    for (const auto& [name, value] : extra) variables[win32::Widen(name)] = win32::Widen(value);

    std::wstring block;
    for (const auto& entry : hidden) block += entry + L'\0';
    for (const auto& [name, value] : variables) block += name + L'=' + value + L'\0';
    block += L'\0';
    return block;
}

}  // namespace

Process Process::Start(const std::string& exePath, const std::string& argsTail,
                       const Environment& extraEnv, const std::string& workDir) {
    std::string commandLine = "\"" + exePath + "\"";
    if (!argsTail.empty()) commandLine += " " + argsTail;
    std::wstring wideCommandLine = win32::Widen(commandLine);
    std::wstring environment = EnvironmentBlock(extraEnv);
    const std::wstring wideWorkDir = win32::Widen(workDir);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(win32::Widen(exePath).c_str(), wideCommandLine.data(), nullptr, nullptr,
                        FALSE, CREATE_UNICODE_ENVIRONMENT, environment.data(),
                        workDir.empty() ? nullptr : wideWorkDir.c_str(), &startup, &info)) {
        const DWORD error = GetLastError();
        throw DriverError("cannot start " + commandLine + ": error " + std::to_string(error) +
                          " (" + win32::SystemMessage(error) + ")");
    }
    return Process(info.hProcess, info.hThread, info.dwProcessId, info.dwThreadId,
                   std::move(commandLine));
}

Process::Process(HANDLE process, HANDLE thread, DWORD id, DWORD threadId, std::string commandLine)
    : process_(process),
      thread_(thread),
      id_(id),
      threadId_(threadId),
      commandLine_(std::move(commandLine)) {}

Process::Process(Process&& other) noexcept
    : process_(std::exchange(other.process_, nullptr)),
      thread_(std::exchange(other.thread_, nullptr)),
      id_(std::exchange(other.id_, 0)),
      threadId_(std::exchange(other.threadId_, 0)),
      commandLine_(std::move(other.commandLine_)) {}

Process& Process::operator=(Process&& other) noexcept {
    if (this != &other) {
        Close();
        process_ = std::exchange(other.process_, nullptr);
        thread_ = std::exchange(other.thread_, nullptr);
        id_ = std::exchange(other.id_, 0);
        threadId_ = std::exchange(other.threadId_, 0);
        commandLine_ = std::move(other.commandLine_);
    }
    return *this;
}

Process::~Process() {
    Close();
}

void Process::Close() noexcept {
    if (process_) {
        if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_, 1);
            WaitForSingleObject(process_, 5000);
        }
        CloseHandle(process_);
        process_ = nullptr;
    }
    if (thread_) {
        CloseHandle(thread_);
        thread_ = nullptr;
    }
}

bool Process::Running() const {
    return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

bool Process::WaitExit(std::chrono::milliseconds timeout) const {
    if (!process_) return true;
    return WaitForSingleObject(process_, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

DWORD Process::WaitExitCode(std::chrono::milliseconds timeout) const {
    if (!WaitExit(timeout)) {
        throw DriverError("process " + std::to_string(id_) + " (" + commandLine_ +
                          ") did not end within " + std::to_string(timeout.count()) + " ms\n" +
                          DescribeWindows(*this));
    }
    return ExitCode();
}

DWORD Process::ExitCode() const {
    DWORD code = 0;
    if (!process_ || !GetExitCodeProcess(process_, &code)) {
        throw DriverError("no exit code for process " + std::to_string(id_));
    }
    if (code == STILL_ACTIVE && Running()) {
        throw DriverError("process " + std::to_string(id_) + " (" + commandLine_ +
                          ") has no exit code yet: it still runs");
    }
    return code;
}

void Process::Kill() {
    if (Running()) {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, 5000);
    }
}

std::string SiblingPath(const std::string& fileName) {
    wchar_t path[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
    std::string self = win32::Narrow(path, length);
    return self.substr(0, self.find_last_of("\\/") + 1) + fileName;
}

}  // namespace vellum::e2e
