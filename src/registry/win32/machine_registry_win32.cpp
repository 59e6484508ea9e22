#include "registry/win32/machine_registry_win32.h"

#include <windows.h>

#include "toolkit/win32/system_error.h"
#include "toolkit/win32/handles.h"
#include "toolkit/win32/strings.h"

namespace vellum::win32 {

using namespace registry;
namespace {

// The key, or an empty owner when it is missing; throws on any other failure.
RegKey OpenKey(const std::string& key, REGSAM access) {
    HKEY raw = nullptr;
    const LONG status =
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, Widen(key).c_str(), 0, access | KEY_WOW64_64KEY, &raw);
    if (status == ERROR_FILE_NOT_FOUND) return RegKey();
    if (status != ERROR_SUCCESS)
        vellum::win32::ThrowSystemError("Cannot open HKLM\\" + key, static_cast<DWORD>(status));
    return RegKey(raw);
}

// Both string types, an expandable one as stored. The helper is a 64-bit program, so these
// calls see the 64-bit view of HKLM.
constexpr DWORD kStringTypes = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;

}  // namespace

std::vector<std::string> MachineRegistry::SubKeys(const std::string& key) {
    std::vector<std::string> names;
    const RegKey open = OpenKey(key, KEY_ENUMERATE_SUB_KEYS);
    if (!open) return names;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];  // the longest key name the registry allows, plus its terminator
        DWORD length = ARRAYSIZE(name);
        const LONG status =
            RegEnumKeyExW(open.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status != ERROR_SUCCESS)
            vellum::win32::ThrowSystemError("Cannot list HKLM\\" + key, static_cast<DWORD>(status));
        names.push_back(Narrow(name, length));
    }
    return names;
}

std::optional<std::string> MachineRegistry::ReadString(const std::string& key,
                                                       const std::string& name) {
    const std::wstring wideKey = Widen(key);
    const std::wstring wideName = Widen(name);
    for (;;) {
        DWORD type = 0;
        DWORD bytes = 0;
        LONG status = RegGetValueW(HKEY_LOCAL_MACHINE, wideKey.c_str(), wideName.c_str(),
                                   kStringTypes, &type, nullptr, &bytes);
        if (status != ERROR_SUCCESS) return std::nullopt;
        std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
        bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        status = RegGetValueW(HKEY_LOCAL_MACHINE, wideKey.c_str(), wideName.c_str(), kStringTypes,
                              &type, text.data(), &bytes);
        if (status == ERROR_MORE_DATA) continue;  // it grew in between
        if (status != ERROR_SUCCESS) return std::nullopt;
        text.resize(wcsnlen(text.c_str(), text.size()));
        return Narrow(text);
    }
}

bool MachineRegistry::HasValue(const std::string& key, const std::string& name) {
    return RegGetValueW(HKEY_LOCAL_MACHINE, Widen(key).c_str(), Widen(name).c_str(),
                        RRF_RT_ANY | RRF_NOEXPAND, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

void MachineRegistry::WriteString(const std::string& key, const std::string& name,
                                  const std::string& value, StringKind kind) {
    HKEY raw = nullptr;
    LONG status = RegCreateKeyExW(HKEY_LOCAL_MACHINE, Widen(key).c_str(), 0, nullptr, 0,
                                  KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &raw, nullptr);
    if (status != ERROR_SUCCESS)
        vellum::win32::ThrowSystemError("Cannot create HKLM\\" + key, static_cast<DWORD>(status));
    const RegKey open(raw);
    const std::wstring text = Widen(value);
    status = RegSetValueExW(open.Get(), Widen(name).c_str(), 0,
                            kind == StringKind::Expandable ? REG_EXPAND_SZ : REG_SZ,
                            reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    if (status != ERROR_SUCCESS)
        vellum::win32::ThrowSystemError("Cannot write " + name + " in HKLM\\" + key,
                                        static_cast<DWORD>(status));
}

void MachineRegistry::DeleteKey(const std::string& key) {
    // The helper is a 64-bit program: its view of HKLM is the 64-bit one.
    const LONG status = RegDeleteTreeW(HKEY_LOCAL_MACHINE, Widen(key).c_str());
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        vellum::win32::ThrowSystemError("Cannot remove HKLM\\" + key, static_cast<DWORD>(status));
}

}  // namespace vellum::win32
