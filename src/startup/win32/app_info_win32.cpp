#include "startup/win32/app_info_win32.h"

#include <windows.h>

#include <vector>

#include "toolkit/win32/strings.h"

namespace vellum::win32 {

namespace {

std::wstring ModulePath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

void ReadVersion(const std::wstring& path, toolkit::AppInfo& info) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) return;
    std::vector<std::byte> block(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) ||
        fixed == nullptr)
        return;
    info.major = HIWORD(fixed->dwFileVersionMS);
    info.minor = LOWORD(fixed->dwFileVersionMS);
    info.revision = HIWORD(fixed->dwFileVersionLS);
}

}  // namespace

toolkit::AppInfo ReadAppInfo() {
    return ReadAppInfo(ModulePath());
}

toolkit::AppInfo ReadAppInfo(const std::wstring& path) {
    toolkit::AppInfo info;
    const size_t slash = path.find_last_of(L'\\');
    std::wstring folder = slash == std::wstring::npos ? L"" : path.substr(0, slash);
    // A drive's root is reported with its separator, as "C:\".
    if (folder.size() == 2 && folder[1] == L':') folder += L'\\';
    std::wstring file = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const size_t dot = file.find_last_of(L'.');
    if (dot != std::wstring::npos) file.resize(dot);
    info.path = Narrow(folder);
    info.exeName = Narrow(file);
    ReadVersion(path, info);
    return info;
}

std::vector<std::string> OwnPaths() {
    const std::wstring path = ModulePath();
    if (path.empty()) return {};
    std::vector<std::string> paths{Narrow(path)};
    const DWORD size = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (size > 0) {
        std::vector<wchar_t> shortPath(size);
        const DWORD length = GetShortPathNameW(path.c_str(), shortPath.data(), size);
        if (length > 0 && length < size) {
            std::string shortForm = Narrow(std::wstring(shortPath.data(), length));
            if (shortForm != paths[0]) paths.push_back(std::move(shortForm));
        }
    }
    return paths;
}

}  // namespace vellum::win32
