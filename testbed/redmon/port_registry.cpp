#include "port_registry.h"

#include <windows.h>

#include "redmon_keys.h"
#include "toolkit/win32/handles.h"

namespace vellum::testbed {

std::vector<std::wstring> ListPorts() {
    std::vector<std::wstring> ports;
    HKEY raw = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kPortsKey, 0, KEY_READ, &raw) != ERROR_SUCCESS)
        return ports;
    win32::RegKey key(raw);
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];  // the longest key name the registry allows, plus one
        DWORD length = 256;
        const LONG status =
            RegEnumKeyExW(key.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status != ERROR_SUCCESS) break;
        ports.emplace_back(name, length);
    }
    return ports;
}

std::optional<std::wstring> ReadPortValue(const std::wstring& port, const wchar_t* name) {
    const std::wstring path = std::wstring(kPortsKey) + L"\\" + port;
    HKEY raw = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &raw) != ERROR_SUCCESS)
        return std::nullopt;
    win32::RegKey key(raw);
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key.Get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::nullopt;
    std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(value.data()),
                         &size) != ERROR_SUCCESS)
        return std::nullopt;
    // The stored terminator, if any, is not part of the text.
    value.resize(wcsnlen(value.c_str(), size / sizeof(wchar_t)));
    return value;
}

}  // namespace vellum::testbed
