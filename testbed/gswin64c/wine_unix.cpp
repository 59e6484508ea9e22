#include "wine_unix.h"

#include <windows.h>
#include <winternl.h>

#include <stdexcept>

#include "toolkit/win32/strings.h"
#include "toolkit/win32/system_error.h"

namespace vellum::testbed {

namespace {

template <typename Fn>
Fn Lookup(const wchar_t* module, const char* name) {
    const HMODULE handle = GetModuleHandleW(module);  // both are always loaded
    FARPROC proc = handle ? GetProcAddress(handle, name) : nullptr;
    if (!proc) {
        throw std::runtime_error(std::string("not running under Wine (") + name +
                                 " is missing), so the Unix Ghostscript cannot be reached");
    }
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(proc));
}

std::wstring FullPath(const std::wstring& path) {
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    full.resize(length < needed ? length : 0);
    return full.empty() ? path : full;
}

}  // namespace

WineUnix::WineUnix()
    : spawn_(Lookup<SpawnFn>(L"ntdll.dll", "__wine_unix_spawnvp")),
      unixFileName_(Lookup<UnixFileNameFn>(L"kernel32.dll", "wine_get_unix_file_name")) {}

int WineUnix::Spawn(const std::vector<std::string>& argv) const {
    std::vector<char*> pointers;
    for (const std::string& arg : argv) pointers.push_back(const_cast<char*>(arg.c_str()));
    pointers.push_back(nullptr);
    const unsigned long result = static_cast<unsigned long>(spawn_(pointers.data(), 1));
    // Failure to fork or exec comes back as an NTSTATUS error; anything else is the child's
    // exit status, already decoded by Wine 8, or a raw waitpid status on builds that do not.
    if (result >= 0xC0000000ul) {
        const DWORD code = RtlNtStatusToDosError(static_cast<LONG>(result));
        throw std::runtime_error(win32::SystemErrorText("cannot start " + argv[0], code));
    }
    if (result > 0xFF && (result & 0x7F) == 0) return static_cast<int>((result >> 8) & 0xFF);
    return static_cast<int>(result);
}

std::optional<std::string> WineUnix::UnixFileName(const std::wstring& path) const {
    char* unix = unixFileName_(path.c_str());
    if (!unix) return std::nullopt;
    std::string result(unix);
    HeapFree(GetProcessHeap(), 0, unix);  // Wine allocates it on the process heap
    return result;
}

bool WinePathMapper::Exists(const std::wstring& path) const {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string WinePathMapper::ToUnix(const std::wstring& path) const {
    std::wstring head = FullPath(path);
    std::string tail;
    for (;;) {
        if (std::optional<std::string> unix = wine_.UnixFileName(head)) {
            if (!tail.empty() && !unix->empty() && unix->back() != '/') *unix += '/';
            return *unix + tail;
        }
        const size_t slash = head.find_last_of(L"\\/");
        const bool atRoot = slash == std::wstring::npos || (slash + 1 == head.size() && slash <= 2);
        if (atRoot) {
            throw std::runtime_error("cannot map \"" + win32::Narrow(path) + "\" to a Unix path");
        }
        const std::string name = win32::Narrow(head.substr(slash + 1));
        if (!name.empty()) tail = tail.empty() ? name : name + "/" + tail;
        // Keep the root's backslash: "C:" alone means the current folder of drive C.
        head.resize(slash == 2 && head[1] == L':' ? 3 : slash);
    }
}

}  // namespace vellum::testbed
