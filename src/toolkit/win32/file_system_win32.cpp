#include "toolkit/win32/file_system_win32.h"

#include <windows.h>

#include "toolkit/win32/strings.h"

namespace vellum::win32 {

bool Win32FileSystem::FileExists(const std::string& path) {
    // A pattern lists files but names none: "C:\redmon\*.exe" must not pass for a program.
    if (path.empty() || path.find_first_of("*?") != std::string::npos) return false;
    const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    constexpr DWORD kNotOrdinary =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    return (attributes & kNotOrdinary) == 0;
}

}  // namespace vellum::win32
