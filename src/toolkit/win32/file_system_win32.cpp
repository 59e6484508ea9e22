#include "toolkit/win32/file_system_win32.h"

#include <windows.h>

#include <algorithm>
#include <random>
#include <vector>

#include "toolkit/runtime_error.h"
#include "toolkit/win32/file_security_win32.h"
#include "toolkit/win32/handles.h"
#include "toolkit/win32/strings.h"
#include "toolkit/win32/system_error.h"

namespace vellum::win32 {

namespace {

// A pattern lists files but names none: "C:\redmon\*.exe" must not pass for a program.
bool IsPattern(const std::string& path) {
    return path.find_first_of("*?") != std::string::npos;
}

// The system's wording with the file it concerns in place of its "%1": the caller says what
// was being done.
[[noreturn]] void ThrowFileError(DWORD error, const std::string& path) {
    throw toolkit::RuntimeError(static_cast<std::int32_t>(error), toolkit::kVellumSource,
                                DescribeSystemError(error, {path}));
}

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    FindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (find) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = folder + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
                SetFileAttributesW(path.c_str(), found.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY);
            const bool link = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileW(path.c_str());
            else if (link)
                RemoveDirectoryW(path.c_str());  // the link only: what it points to stays
            else
                RemoveTree(path);
        } while (FindNextFileW(find.Get(), &found));
    }
    find.Reset();
    RemoveDirectoryW(folder.c_str());
}

}  // namespace

bool FileSystem::FileExists(const std::string& path) {
    if (path.empty() || IsPattern(path)) return false;
    const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    constexpr DWORD kNotOrdinary =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    return (attributes & kNotOrdinary) == 0;
}

std::optional<std::uint64_t> FileSystem::FileSize(const std::string& path) {
    if (path.empty() || IsPattern(path)) return std::nullopt;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return std::nullopt;
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool FileSystem::FolderExists(const std::string& path) {
    const std::wstring wide = Widen(path);
    // Where Windows itself stops at MAX_PATH, Wine goes on: the limit is checked here.
    if (wide.empty() || wide.size() >= MAX_PATH) return false;
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string FileSystem::FullPath(const std::string& path) {
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

bool FileSystem::CreateNewFile(const std::string& path) {
    KernelHandle file(CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) return true;
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) return false;
    ThrowFileError(error, path);
}

namespace {

// Moves `from` to `to` written through, its data on the disk before the rename; the system's
// error, 0 when it moved.
DWORD FlushAndMove(const std::string& from, const std::string& to, DWORD flags) {
    const std::wstring source = Widen(from);
    {
        KernelHandle file(CreateFileW(source.c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) ThrowFileError(GetLastError(), from);
        if (!FlushFileBuffers(file.Get())) ThrowFileError(GetLastError(), from);
    }
    if (MoveFileExW(source.c_str(), Widen(to).c_str(), flags | MOVEFILE_WRITE_THROUGH)) return 0;
    return GetLastError();
}

}  // namespace

void FileSystem::MoveReplacing(const std::string& from, const std::string& to) {
    if (const DWORD error = FlushAndMove(from, to, MOVEFILE_REPLACE_EXISTING))
        ThrowFileError(error, to);
}

bool FileSystem::MoveNew(const std::string& from, const std::string& to) {
    const DWORD error = FlushAndMove(from, to, 0);
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) return false;
    if (error != 0) ThrowFileError(error, to);
    return true;
}

bool FileSystem::CopyNew(const std::string& from, const std::string& to) {
    if (CopyFileW(Widen(from).c_str(), Widen(to).c_str(), TRUE)) return true;
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) return false;
    DeleteFileW(Widen(to).c_str());  // a copy cut short by a full disk
    ThrowFileError(error, to);
}

void FileSystem::RemoveFile(const std::string& path) {
    DeleteFileW(Widen(path).c_str());
}

std::string FileSystem::CreateTempFolder() {
    const std::wstring base = Widen(TempRoot());
    if (base.empty()) ThrowFileError(ERROR_PATH_NOT_FOUND, "");
    static std::mt19937 generator{std::random_device{}()};
    for (int i = 0; i < 100; ++i) {
        wchar_t name[32];
        wsprintfW(name, L"\\vellum-%08x", static_cast<unsigned>(generator()));
        const std::wstring folder = base + name;
        if (CreateDirectoryW(folder.c_str(), nullptr)) return Narrow(folder);
        const DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS) ThrowFileError(error, Narrow(folder));
    }
    ThrowFileError(ERROR_ALREADY_EXISTS, Narrow(base));
}

void FileSystem::RemoveFolderTree(const std::string& path) {
    if (!path.empty()) RemoveTree(Widen(path));
}

std::string FileSystem::TempRoot() {
    // SYSTEM's GetTempPathW is C:\Windows\Temp, where every user may create folders and links;
    // GetTempPath2W (Windows 11, and Windows 10 with its 2022 updates) gives it SystemTemp.
    using TempPathCall = DWORD(WINAPI*)(DWORD, LPWSTR);
    const auto tempPath2 = reinterpret_cast<TempPathCall>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetTempPath2W")));
    if (tempPath2 == nullptr && RunsAsSystem()) {
        wchar_t programData[MAX_PATH];
        const DWORD length = GetEnvironmentVariableW(L"ProgramData", programData, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return "";
        const std::string own = Narrow(programData) + "\\Vellum\\Temp";
        const bool made = GetFileAttributesW(Widen(own).c_str()) == INVALID_FILE_ATTRIBUTES;
        try {
            MakeFolders(own);
        } catch (const toolkit::RuntimeError&) {
            return "";
        }
        if (made) win32::SetFolderAccess(own, toolkit::kMachineOnlyAccess);
        return own;
    }
    wchar_t temp[MAX_PATH + 1];
    const DWORD length = (tempPath2 ? tempPath2 : GetTempPathW)(MAX_PATH + 1, temp);
    if (length == 0 || length > MAX_PATH) return "";
    std::wstring base(temp, length);
    if (!base.empty() && base.back() == L'\\') base.pop_back();
    return Narrow(base);
}

namespace {

class HeldHandle : public toolkit::HeldFile {
public:
    explicit HeldHandle(KernelHandle handle) : handle_(std::move(handle)) {}

private:
    KernelHandle handle_;
};

}  // namespace

std::unique_ptr<toolkit::HeldFile> FileSystem::Hold(const std::string& path) {
    KernelHandle file(CreateFileW(Widen(path).c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return nullptr;
    return std::make_unique<HeldHandle>(std::move(file));
}

std::unique_ptr<toolkit::HeldFile> FileSystem::HoldAlone(const std::string& path) {
    // No sharing: a second opener meets a sharing violation, or access denied while the file
    // is being removed; either way another holder has it.
    KernelHandle file(CreateFileW(Widen(path).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0,
                                  nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    const DWORD error = GetLastError();
    if (file) return std::make_unique<HeldHandle>(std::move(file));
    if (error == ERROR_SHARING_VIOLATION ||
        (error == ERROR_ACCESS_DENIED &&
         GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES))
        return nullptr;
    ThrowFileError(error, path);
}

void FileSystem::FlushFile(const std::string& path) {
    KernelHandle file(CreateFileW(Widen(path).c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) ThrowFileError(GetLastError(), path);
    if (!FlushFileBuffers(file.Get())) ThrowFileError(GetLastError(), path);
}

std::string FileSystem::ReadBytes(const std::string& path, std::uint64_t offset,
                                  std::size_t count) {
    KernelHandle file(CreateFileW(Widen(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return "";
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(file.Get(), at, nullptr, FILE_BEGIN)) return "";
    std::string bytes(count, '\0');
    DWORD read = 0;
    if (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(count), &read, nullptr)) return "";
    bytes.resize(read);
    return bytes;
}

std::optional<std::uint64_t> FileSystem::FreeSpace(const std::string& folder) {
    std::wstring wide = Widen(folder);
    if (!wide.empty() && wide.back() != L'\\') wide += L'\\';
    ULARGE_INTEGER available{};
    if (wide.empty() || !GetDiskFreeSpaceExW(wide.c_str(), &available, nullptr, nullptr))
        return std::nullopt;
    return available.QuadPart;
}

std::vector<toolkit::FolderEntry> FileSystem::ListFolder(const std::string& folder,
                                                         const std::string& pattern) {
    std::vector<toolkit::FolderEntry> entries;
    FILETIME nowTime;
    GetSystemTimeAsFileTime(&nowTime);
    const auto ticks = [](const FILETIME& t) {
        return (static_cast<std::int64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    WIN32_FIND_DATAW found;
    FindHandle find(FindFirstFileExW((Widen(folder) + L"\\" + Widen(pattern)).c_str(),
                                     FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                                     FIND_FIRST_EX_LARGE_FETCH));
    if (!find) return entries;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        constexpr std::int64_t kTicksPerSecond = 10000000;  // FILETIME counts 100 ns
        entries.push_back({Narrow(name), (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                           (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0,
                           (ticks(nowTime) - ticks(found.ftLastWriteTime)) / kTicksPerSecond});
    } while (FindNextFileW(find.Get(), &found));
    return entries;
}

void FileSystem::MakeFolders(const std::string& path) {
    // Each missing parent first; a drive ("C:") or a share ("\\server\share") is never made.
    const std::wstring wide = Widen(path);
    size_t from = wide.rfind(L"\\\\", 0) == 0 ? wide.find(L'\\', wide.find(L'\\', 2) + 1) : 0;
    while (from != std::wstring::npos) {
        const size_t end = wide.find(L'\\', from + 1);
        const std::wstring folder = wide.substr(0, end);
        if (!folder.empty() && folder.back() != L':' &&
            GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES &&
            !CreateDirectoryW(folder.c_str(), nullptr)) {
            const DWORD error = GetLastError();
            if (error != ERROR_ALREADY_EXISTS) ThrowFileError(error, Narrow(folder));
        }
        from = end;
    }
}

bool FileSystem::AppendText(const std::string& path, const std::string& text) {
    // FILE_APPEND_DATA alone makes every write go to the end of the file as it is then, so that
    // one WriteFile per text never mixes with another process's.
    KernelHandle file(CreateFileW(Widen(path).c_str(), FILE_APPEND_DATA,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

std::string FileSystem::ShortPath(const std::string& path) {
    const std::wstring wide = Widen(path);
    const DWORD needed = GetShortPathNameW(wide.c_str(), nullptr, 0);
    if (needed == 0) return "";
    std::vector<wchar_t> spelled(needed);
    const DWORD length = GetShortPathNameW(wide.c_str(), spelled.data(), needed);
    if (length == 0 || length >= needed) return "";
    return Narrow(spelled.data(), length);
}

std::uint64_t FileSystem::OpenInheritableForWriting(const std::string& path) {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    KernelHandle file(CreateFileW(Widen(path).c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  &inheritable, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return 0;
    const std::uint64_t value = reinterpret_cast<std::uintptr_t>(file.Get());
    inheritable_[value] = std::move(file);
    return value;
}

void FileSystem::CloseInheritable(std::uint64_t handle) {
    inheritable_.erase(handle);
}

std::unique_ptr<toolkit::OpenedObject> FileSystem::OpenUnfollowed(const std::string& path,
                                                                  bool forDelete,
                                                                  std::string& error) {
    return win32::OpenUnfollowed(path, forDelete, error);
}

std::string FileSystem::AccountSid(const std::string& name) {
    return win32::AccountSid(name);
}

std::string FileSystem::SetFolderAccess(const std::string& path, const std::string& sddl) {
    return win32::SetFolderAccess(path, sddl);
}

}  // namespace vellum::win32
