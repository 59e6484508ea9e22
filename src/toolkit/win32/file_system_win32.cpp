#include "toolkit/win32/file_system_win32.h"

#include <windows.h>

#include <vector>

#include "toolkit/win32/strings.h"

namespace vellum::win32 {

namespace {

// A pattern lists files but names none: "C:\redmon\*.exe" must not pass for a program.
bool IsPattern(const std::string& path) {
    return path.find_first_of("*?") != std::string::npos;
}

}  // namespace

bool Win32FileSystem::FileExists(const std::string& path) {
    if (path.empty() || IsPattern(path)) return false;
    const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    constexpr DWORD kNotOrdinary =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    return (attributes & kNotOrdinary) == 0;
}

std::optional<std::uint64_t> Win32FileSystem::FileSize(const std::string& path) {
    if (path.empty() || IsPattern(path)) return std::nullopt;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return std::nullopt;
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool Win32FileSystem::FolderExists(const std::string& path) {
    const std::wstring wide = Widen(path);
    // Where Windows itself stops at MAX_PATH, Wine goes on: the limit is checked here.
    if (wide.empty() || wide.size() >= MAX_PATH) return false;
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string Win32FileSystem::FullPath(const std::string& path) {
    const std::wstring wide = Widen(path);
    if (wide.empty()) return path;
    // The size needed, terminating null included; a second call may need more if the current
    // folder changed in between, which one thread rules out.
    const DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::vector<wchar_t> full(needed);
    const DWORD length = GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) return path;
    return Narrow(full.data(), length);
}

}  // namespace vellum::win32
