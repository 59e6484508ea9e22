#include "convert/win32/process_runner_win32.h"

#include <windows.h>

#include <vector>

#include "toolkit/win32/handles.h"
#include "toolkit/win32/strings.h"
#include "toolkit/win32/system_error.h"

namespace vellum::win32 {

namespace {

// A temporary file that the child inherits as its stdout and stderr; deleted when closed.
KernelHandle CreateOutputFile() {
    wchar_t folder[MAX_PATH + 1];
    wchar_t path[MAX_PATH + 1];
    if (GetTempPathW(MAX_PATH + 1, folder) == 0 || GetTempFileNameW(folder, L"vlm", 0, path) == 0)
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

}  // namespace

convert::ProcessResult Win32ProcessRunner::RunAndWait(const std::string& commandLine,
                                                      int showWindow) {
    convert::ProcessResult result;
    KernelHandle output = CreateOutputFile();
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    KernelHandle input(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   &inheritable, OPEN_EXISTING, 0, nullptr));

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showWindow);
    if (output) {
        startup.dwFlags |= STARTF_USESTDHANDLES;
        startup.hStdInput = input.Get();
        startup.hStdOutput = output.Get();
        startup.hStdError = output.Get();
    }

    std::string mutableLine = commandLine;
    PROCESS_INFORMATION info{};
    const BOOL created = CreateProcessA(nullptr, mutableLine.data(), nullptr, nullptr, TRUE,
                                        NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup, &info);
    if (!created) {
        result.startError = DescribeSystemError(GetLastError());
        return result;
    }
    KernelHandle thread(info.hThread);
    KernelHandle process(info.hProcess);
    result.started = true;
    WaitForSingleObject(process.Get(), INFINITE);
    DWORD exitCode = 0;
    // An exit code that cannot be read must not pass for success.
    result.exitCode = GetExitCodeProcess(process.Get(), &exitCode) ? exitCode : 0xFFFFFFFFu;
    if (output) result.output = ReadAll(output.Get());
    return result;
}

}  // namespace vellum::win32
