#include "convert/win32/process_runner_win32.h"

#include <windows.h>

#include <vector>

#include "convert/environment.h"
#include "convert/ghostscript_command.h"
#include "toolkit/win32/file_system_win32.h"
#include "toolkit/win32/handles.h"
#include "toolkit/win32/process_start.h"
#include "toolkit/win32/strings.h"
#include "toolkit/win32/system_error.h"

namespace vellum::win32 {

namespace {

// How often a waiting run asks its observer when no window event wakes it.
constexpr DWORD kObserverTickMs = 200;
// The exit code of a process ended on request.
constexpr UINT kEndedExitCode = ERROR_CANCELLED;

// A temporary file that the child inherits as its stdout and stderr; deleted when closed. It
// lies in Vellum's own temporary folder: as SYSTEM, not C:\Windows\Temp, where users create.
KernelHandle CreateOutputFile() {
    const std::wstring folder = Widen(FileSystem().TempRoot());
    wchar_t path[MAX_PATH + 1];
    if (folder.empty() || GetTempFileNameW(folder.c_str(), L"vlm", 0, path) == 0)
        return KernelHandle();
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE file = CreateFileW(
        path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        &inheritable, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DeleteFileW(path);
        return KernelHandle();
    }
    return KernelHandle(file);
}

std::string ReadAll(HANDLE file) {
    std::string text;
    if (SetFilePointer(file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) return text;
    std::vector<char> buffer(64 * 1024);
    DWORD read = 0;
    while (ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr) &&
           read > 0)
        text.append(buffer.data(), read);
    return text;
}

// This process's environment with `variables` set, as CreateProcessW takes it with
// CREATE_UNICODE_ENVIRONMENT: "NAME=value" strings, each ended by a NUL, and one more NUL.
std::vector<wchar_t> EnvironmentBlock(const convert::Environment& variables) {
    std::vector<std::wstring> entries;
    if (wchar_t* own = GetEnvironmentStringsW()) {
        for (const wchar_t* entry = own; *entry != L'\0'; entry += wcslen(entry) + 1)
            entries.emplace_back(entry);
        FreeEnvironmentStringsW(own);
    }
    std::vector<std::pair<std::wstring, std::wstring>> wide;
    for (const auto& [name, value] : variables) wide.emplace_back(Widen(name), Widen(value));
    std::vector<wchar_t> block;
    for (const std::wstring& entry : convert::WithVariables(entries, wide)) {
        block.insert(block.end(), entry.begin(), entry.end());
        block.push_back(L'\0');
    }
    block.push_back(L'\0');
    return block;
}

// A job object that ends its processes when its last handle closes; empty when the system
// refuses one.
KernelHandle CreateKillOnCloseJob() {
    KernelHandle job(CreateJobObjectW(nullptr, nullptr));
    if (!job) return job;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!SetInformationJobObject(job.Get(), JobObjectExtendedLimitInformation, &limits,
                                 sizeof limits))
        job.Reset();
    return job;
}

// Serves the window events that are waiting, with dialog navigation (Tab, Enter, Esc) in each
// window. A quit request is kept for the message loop that follows the run: true when one came.
bool ServeWindowEvents(int& quitCode) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            quitCode = static_cast<int>(msg.wParam);
            return true;
        }
        const HWND top = msg.hwnd != nullptr ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
        if (top != nullptr && IsDialogMessageW(top, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return false;
}

}  // namespace

convert::ProcessResult ProcessRunner::RunAndWait(const std::string& commandLine, int showWindow,
                                                 const convert::RunOptions& options) {
    convert::ProcessResult result;
    KernelHandle output = CreateOutputFile();
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    KernelHandle input(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   &inheritable, OPEN_EXISTING, 0, nullptr));

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showWindow);
    if (output) {
        startup.dwFlags |= STARTF_USESTDHANDLES;
        startup.hStdInput = input.Get();
        startup.hStdOutput = output.Get();
        startup.hStdError = output.Get();
    }

    std::vector<wchar_t> environment = EnvironmentBlock(options.environment);
    std::wstring mutableLine = Widen(commandLine);
    KernelHandle job = CreateKillOnCloseJob();
    PROCESS_INFORMATION info{};
    // Suspended until it is in the job, so that nothing it starts can escape the job.
    const BOOL created = StartProcessRetrying([&] {
        return CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, TRUE,
                              NORMAL_PRIORITY_CLASS | CREATE_SUSPENDED | CREATE_UNICODE_ENVIRONMENT,
                              environment.data(), nullptr, &startup, &info);
    });
    if (!created) {
        result.startError = DescribeSystemError(GetLastError(), {convert::ProgramOf(commandLine)});
        return result;
    }
    KernelHandle thread(info.hThread);
    KernelHandle process(info.hProcess);
    // Where the system refuses (a job inside a job before Windows 8), the run goes on without
    // one and a cancel ends the process alone.
    const bool inJob = job && AssignProcessToJobObject(job.Get(), process.Get());
    ResumeThread(thread.Get());
    result.started = true;

    const ULONGLONG start = GetTickCount64();
    const HANDLE waitFor = process.Get();
    bool quit = false;
    int quitCode = 0;
    for (;;) {
        const DWORD woken =
            quit ? WaitForSingleObject(waitFor, kObserverTickMs)
                 : MsgWaitForMultipleObjects(1, &waitFor, FALSE, kObserverTickMs, QS_ALLINPUT);
        if (woken == WAIT_OBJECT_0) break;
        if (woken == WAIT_FAILED) {
            WaitForSingleObject(waitFor, INFINITE);
            break;
        }
        if (woken == WAIT_OBJECT_0 + 1 && !quit) quit = ServeWindowEvents(quitCode);
        const auto elapsed = std::chrono::milliseconds(GetTickCount64() - start);
        if (options.observer != nullptr && options.observer->WantsEnd(elapsed)) {
            if (!inJob || !TerminateJobObject(job.Get(), kEndedExitCode))
                TerminateProcess(process.Get(), kEndedExitCode);
            // Only an ended process has closed its files, so that its output can go.
            WaitForSingleObject(waitFor, INFINITE);
            result.cancelled = true;
            break;
        }
    }
    if (quit) PostQuitMessage(quitCode);

    DWORD exitCode = 0;
    // An exit code that cannot be read must not pass for success.
    result.exitCode = GetExitCodeProcess(process.Get(), &exitCode) ? exitCode : 0xFFFFFFFFu;
    if (result.exitCode >= 0xC0000000u) result.exitCodeWording = StatusWording(result.exitCode);
    if (output) result.output = ReadAll(output.Get());
    return result;
}

}  // namespace vellum::win32
