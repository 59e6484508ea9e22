// Reports how it was started, for the driver's self-test of verbatim starts: writes its command
// line (GetCommandLineW as UTF-8, then GetCommandLineA as the system gives it) and its current
// folder, one per line, to the file named by VELLUM_COMMAND_LINE_FILE. Reads nothing from its
// command line, which is what is under test.

#include <windows.h>

#include <cstdio>
#include <string>

#include "toolkit/win32/strings.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t file[MAX_PATH * 4];
    const DWORD length = GetEnvironmentVariableW(L"VELLUM_COMMAND_LINE_FILE", file, MAX_PATH * 4);
    if (length == 0 || length >= MAX_PATH * 4) return 2;
    wchar_t folder[MAX_PATH * 4];
    const DWORD folderLength = GetCurrentDirectoryW(MAX_PATH * 4, folder);

    const std::string report = vellum::win32::Narrow(GetCommandLineW()) + "\n" + GetCommandLineA() +
                               "\n" + vellum::win32::Narrow(folder, folderLength) + "\n";
    FILE* out = _wfopen(file, L"wb");
    if (!out) return 3;
    const bool written = std::fwrite(report.data(), 1, report.size(), out) == report.size();
    return std::fclose(out) == 0 && written ? 0 : 4;
}
