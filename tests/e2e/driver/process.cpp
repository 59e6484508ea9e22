#include "driver/process.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cwctype>
#include <map>
#include <utility>

#include "driver/top_windows.h"
#include "driver/verbatim_start.h"
#include "toolkit/win32/strings.h"
#include "toolkit/win32/system_error.h"

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

// A snapshot of the system's processes or threads, closed on destruction.
class Snapshot {
public:
    explicit Snapshot(DWORD what) : handle_(CreateToolhelp32Snapshot(what, 0)) {
        if (handle_ == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            throw DriverError("cannot list the running processes: error " + std::to_string(error) +
                              " (" + win32::SystemMessage(error) + ")");
        }
    }
    Snapshot(const Snapshot&) = delete;
    Snapshot& operator=(const Snapshot&) = delete;
    ~Snapshot() { CloseHandle(handle_); }
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
};

// The process's first thread, the one that runs its windows in our programs: the thread created
// earliest (snapshot order is not promised to be creation order).
DWORD FirstThread(DWORD processId) {
    Snapshot threads(TH32CS_SNAPTHREAD);
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    DWORD first = 0;
    ULONGLONG earliest = ~0ULL;
    for (BOOL more = Thread32First(threads.Get(), &entry); more;
         more = Thread32Next(threads.Get(), &entry)) {
        if (entry.th32OwnerProcessID != processId) continue;
        if (first == 0) first = entry.th32ThreadID;
        HANDLE thread = OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ThreadID);
        if (!thread) continue;
        FILETIME created{}, exited{}, kernel{}, user{};
        if (GetThreadTimes(thread, &created, &exited, &kernel, &user)) {
            const ULONGLONG when =
                (static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
            if (when < earliest) {
                earliest = when;
                first = entry.th32ThreadID;
            }
        }
        CloseHandle(thread);
    }
    return first;
}

}  // namespace

Process Process::Attach(DWORD processId) {
    constexpr DWORD kAccess = PROCESS_QUERY_INFORMATION | PROCESS_VM_OPERATION | PROCESS_VM_READ |
                              PROCESS_VM_WRITE | PROCESS_TERMINATE | SYNCHRONIZE;
    HANDLE process = OpenProcess(kAccess, FALSE, processId);
    if (!process) {
        const DWORD error = GetLastError();
        throw DriverError("cannot open process " + std::to_string(processId) + ": error " +
                          std::to_string(error) + " (" + win32::SystemMessage(error) + ")");
    }
    std::string name = "attached process";
    wchar_t image[MAX_PATH * 4];
    DWORD length = static_cast<DWORD>(std::size(image));
    if (QueryFullProcessImageNameW(process, 0, image, &length)) name = win32::Narrow(image, length);
    return Process(process, nullptr, processId, FirstThread(processId), std::move(name));
}

std::vector<DWORD> ProcessesNamed(const std::string& imageName) {
    const std::wstring wanted = win32::Widen(imageName);
    Snapshot processes(TH32CS_SNAPPROCESS);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    std::vector<DWORD> ids;
    for (BOOL more = Process32FirstW(processes.Get(), &entry); more;
         more = Process32NextW(processes.Get(), &entry)) {
        // Some systems report the full path here, others only the file name.
        const std::wstring file = entry.szExeFile;
        const std::wstring name = file.substr(file.find_last_of(L"\\/") + 1);
        if (_wcsicmp(name.c_str(), wanted.c_str()) == 0) ids.push_back(entry.th32ProcessID);
    }
    return ids;
}

Process Process::Start(const std::string& exePath, const std::string& argsTail,
                       const Environment& extraEnv, const std::string& workDir,
                       const std::string& desktop) {
    std::string commandLine = "\"" + exePath + "\"";
    if (!argsTail.empty()) commandLine += " " + argsTail;
    std::wstring wideCommandLine = win32::Widen(commandLine);
    std::wstring environment = EnvironmentBlock(extraEnv);
    const std::wstring wideWorkDir = win32::Widen(workDir);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring wideDesktop = win32::Widen(desktop);
    if (!desktop.empty()) startup.lpDesktop = wideDesktop.data();
    PROCESS_INFORMATION info{};
    // Wine now and then refuses a start with ERROR_INTERNAL_ERROR while its server is busy
    // (seen right after a prefix is made, and under load); the same start a moment later works.
    for (int attempt = 1;; ++attempt) {
        if (CreateProcessW(win32::Widen(exePath).c_str(), wideCommandLine.data(), nullptr, nullptr,
                           FALSE, CREATE_UNICODE_ENVIRONMENT, environment.data(),
                           workDir.empty() ? nullptr : wideWorkDir.c_str(), &startup, &info))
            break;
        const DWORD error = GetLastError();
        if (error == ERROR_INTERNAL_ERROR && attempt < 5) {
            Sleep(200);
            continue;
        }
        throw DriverError("cannot start " + commandLine + ": error " + std::to_string(error) +
                          " (" + win32::SystemMessage(error) + ")");
    }
    return Process(info.hProcess, info.hThread, info.dwProcessId, info.dwThreadId,
                   std::move(commandLine));
}

Process Process::StartVerbatim(const std::string& exePath, const std::string& commandLine,
                               const Environment& extraEnv, const std::string& workDir) {
    const std::wstring environment = EnvironmentBlock(extraEnv);
    std::wstring folder = win32::Widen(workDir);
    if (folder.empty()) {
        wchar_t current[MAX_PATH * 4];
        const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(std::size(current)), current);
        folder.assign(current, length);
    }
    const internal::StartedProcess started = internal::StartVerbatim(
        win32::Widen(exePath), win32::Widen(commandLine), environment.c_str(), folder);
    return Process(started.process, started.thread, GetProcessId(started.process),
                   GetThreadId(started.thread), commandLine);
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
