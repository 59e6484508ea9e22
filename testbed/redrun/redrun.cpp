// RedRun stand-in, as RedRun was measured: the port's Arguments (after RedMon's own
// substitution) are its command-line tail. It keeps the job that arrives on standard input in
// a temporary file, runs the tail with an argument that is exactly %1 replaced by that file's
// path in quotes (or the path appended), waits, removes the file, and exits with 0 whatever
// the command did: RedMon learns nothing from RedRun's exit code.

#include <windows.h>

#include <exception>
#include <string>

#include "log.h"
#include "process.h"
#include "redirection_rules.h"
#include "toolkit/runtime_error.h"
#include "toolkit/win32/handles.h"
#include "toolkit/win32/strings.h"
#include "toolkit/win32/system_error.h"

namespace vellum::testbed {
namespace {

constexpr const char* kWho = "redrun";
// Exit code when RedRun itself fails, before or instead of the command.
constexpr int kFailed = 2;

// Copies standard input to `path` until it ends: end of file, or the writer closing its pipe.
void SaveInput(const std::wstring& path) {
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    if (input == nullptr || input == INVALID_HANDLE_VALUE)
        throw toolkit::RuntimeError(ERROR_INVALID_HANDLE, kWho, "no job on standard input");
    win32::KernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) ThrowSystemError("cannot open the job file", GetLastError());
    char buffer[65536];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(input, buffer, sizeof(buffer), &read, nullptr)) {
            const DWORD error = GetLastError();
            if (error == ERROR_BROKEN_PIPE) break;
            ThrowSystemError("cannot read the job", error);
        }
        if (read == 0) break;
        DWORD written = 0;
        if (!WriteFile(file.Get(), buffer, read, &written, nullptr) || written != read)
            ThrowSystemError("cannot write the job file", GetLastError());
    }
}

int Run() {
    const std::wstring tail = RedRunTail(GetCommandLineW());
    if (tail.empty())
        throw toolkit::RuntimeError(ERROR_INVALID_PARAMETER, kWho,
                                    "no command given (usage: redrun <command with %1>)");
    const std::wstring path = NewTempFile(L"vrr");
    // The file exists from GetTempFileName on, so it is removed whatever happens next.
    struct Remove {
        const std::wstring& path;
        ~Remove() {
            if (!DeleteFileW(path.c_str()))
                Log(kWho,
                    win32::SystemErrorText("cannot remove " + win32::Narrow(path), GetLastError()));
        }
    } remove{path};
    SaveInput(path);
    const std::wstring command = RedRunCommandLine(tail, path);
    const DWORD code = RunAndWait(command);
    if (code != 0) Log(kWho, win32::Narrow(command) + " exited with code " + std::to_string(code));
    return 0;
}

}  // namespace
}  // namespace vellum::testbed

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    try {
        return vellum::testbed::Run();
    } catch (const vellum::toolkit::RuntimeError& e) {
        vellum::testbed::Log(vellum::testbed::kWho, e.Description());
    } catch (const std::exception& e) {
        vellum::testbed::Log(vellum::testbed::kWho, e.what());
    }
    return vellum::testbed::kFailed;
}
