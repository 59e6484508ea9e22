#include "startup/win32/file_system_win32.h"

#include <windows.h>

#include "toolkit/win32/handles.h"
#include "toolkit/win32/strings.h"

namespace vellum::win32 {

bool Win32FileSystem::FileExists(const std::string& path) {
    if (path.empty()) return false;
    WIN32_FIND_DATAW data;
    FindHandle find(FindFirstFileW(Widen(path).c_str(), &data));
    if (!find) return false;
    constexpr DWORD kNotOrdinary =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    do {
        if ((data.dwFileAttributes & kNotOrdinary) == 0) return true;
    } while (FindNextFileW(find.Get(), &data));
    return false;
}

}  // namespace vellum::win32
