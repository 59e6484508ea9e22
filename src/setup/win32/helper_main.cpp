// vellum-setup-helper.exe: the setup program's hands. The installer script runs it for what
// needs more than a script (Ghostscript's discovery, the first settings, the printer and its
// port, their removal); the Start Menu runs "printer --interactive" to add the printer later.
// Results go to standard output, messages to standard error, or to a message box when
// --interactive is given; what a silent install must not lose also goes to Vellum's log.

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "config/win32/print_platform_win32.h"
#include "setup/helper_commands.h"
#include "toolkit/log_file.h"
#include "toolkit/paths.h"
#include "registry/win32/machine_registry_win32.h"
#include "setup/win32/printer_spooler_win32.h"
#include "toolkit/win32/file_system_win32.h"
#include "toolkit/win32/process_environment_win32.h"
#include "toolkit/win32/session_win32.h"
#include "toolkit/win32/strings.h"

namespace vellum::win32 {

using namespace setup;
using toolkit::FolderOf;
namespace {

std::string OwnFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return "";
        if (length < path.size()) return FolderOf(Narrow(path.c_str(), length));
        path.resize(path.size() * 2);
    }
}

std::string ProgramFilesFolder() {
    wchar_t* path = nullptr;
    std::string folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_ProgramFiles, 0, nullptr, &path)))
        folder = Narrow(path, wcslen(path));
    CoTaskMemFree(path);
    return folder;
}

std::string SystemFolder() {
    wchar_t path[MAX_PATH];
    const UINT length = GetSystemDirectoryW(path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? Narrow(path, length) : std::string();
}

void Write(DWORD which, const std::string& text) {
    const HANDLE handle = GetStdHandle(which);
    if (text.empty() || handle == nullptr || handle == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

void ReportToEventLog(const std::string& text) {
    const HANDLE source = RegisterEventSourceW(nullptr, L"Vellum setup");
    if (source == nullptr) return;
    const std::wstring wide = Widen(text);
    const wchar_t* strings[] = {wide.c_str()};
    ReportEventW(source, EVENTLOG_ERROR_TYPE, 0, 1, nullptr, 1, 0, strings, nullptr);
    DeregisterEventSource(source);
}

int Run() {
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    bool interactive = false;
    for (int i = 1; argv && i < count; ++i) {
        const std::string argument = Narrow(argv[i], wcslen(argv[i]));
        if (argument == "--interactive")
            interactive = true;
        else
            arguments.push_back(argument);
    }
    LocalFree(argv);

    PrinterSpooler spooler;
    MachineRegistry registry;
    FileSystem files;
    Session session;
    ProcessEnvironment environment;
    // What a silent install cannot show goes to the log, for an administrator to find.
    const auto log = [&](const std::string& text) {
        toolkit::AppendLogLine(files, toolkit::LogFolder(environment), session.Now(),
                               session.UserName(), "",
                               "message\t" + toolkit::LogField("Vellum setup: " + text));
    };
    // Asked of Windows only by the command that judges it.
    const bool judging = !arguments.empty() && arguments[0] == "check-platform";
    HelperServices services{spooler,
                            registry,
                            files,
                            OwnFolder(),
                            ProgramFilesFolder(),
                            SystemFolder(),
                            log,
                            judging ? ReadPrintPlatform() : config::PrintPlatform{}};
    const HelperResult result = RunHelper(arguments, services);
    // A silent install ends without a word to anyone: the reason goes where an administrator
    // looks for it, the Application event log.
    if (result.exitCode == kExitCannotWork) ReportToEventLog(result.output);
    Write(STD_OUTPUT_HANDLE, result.output);
    if (interactive && !result.message.empty()) {
        MessageBoxW(nullptr, Widen(result.message).c_str(), L"Vellum",
                    MB_OK | (result.exitCode == kExitDone ? MB_ICONINFORMATION : MB_ICONERROR));
    } else if (!result.message.empty()) {
        Write(STD_ERROR_HANDLE, result.message + "\n");
    }
    return result.exitCode;
}

}  // namespace
}  // namespace vellum::win32

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return vellum::win32::Run();
}
