// Writes the command line it was started with, exactly as it received it, to
// command-line.txt beside itself (UTF-8): the print chain's test puts it where RedRun runs the
// port's command and compares the line with what the port said.

#include <windows.h>

#include <string>

#include "toolkit/win32/handles.h"
#include "toolkit/win32/strings.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t self[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH * 4);
    if (length == 0 || length >= MAX_PATH * 4) return 2;
    std::wstring out(self, length);
    out = out.substr(0, out.find_last_of(L'\\') + 1) + L"command-line.txt";
    const std::string line = vellum::win32::Narrow(GetCommandLineW());
    vellum::win32::KernelHandle file(CreateFileW(out.c_str(), GENERIC_WRITE, 0, nullptr,
                                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return 2;
    DWORD written = 0;
    return WriteFile(file.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
                   written == line.size()
               ? 0
               : 2;
}
