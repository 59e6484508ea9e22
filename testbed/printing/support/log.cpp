#include "log.h"

#include <windows.h>

#include "toolkit/win32/handles.h"
#include "toolkit/win32/strings.h"

namespace vellum::testbed {

void Log(const std::string& who, const std::string& message) {
    try {
        const std::string line =
            who + "[" + std::to_string(GetCurrentProcessId()) + "]: " + message + "\r\n";
        const std::wstring wide = win32::Widen(line);
        OutputDebugStringW(wide.c_str());
        DWORD written = 0;
        const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
        if (error != nullptr && error != INVALID_HANDLE_VALUE)
            WriteFile(error, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);

        wchar_t path[MAX_PATH];
        const DWORD length = GetEnvironmentVariableW(L"VELLUM_REDMON_LOG", path, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return;
        // Several processes of one chain may log at once: append-only writes stay whole.
        win32::KernelHandle file(CreateFileW(path, FILE_APPEND_DATA,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return;
        WriteFile(file.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    } catch (...) {
        // Logging must never take down the process it runs in.
    }
}

}  // namespace vellum::testbed
