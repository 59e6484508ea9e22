#include "registry/win32/component/registry_store.h"

#include <cwchar>

namespace vellum::registry::component {

namespace {

bool IsString(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

}  // namespace

win32::RegKey OpenKey(HKEY root, const wchar_t* keyPath, REGSAM access) {
    win32::RegKey key;
    if (RegOpenKeyExW(root, keyPath, 0, access, key.Put()) != ERROR_SUCCESS) key.Release();
    return key;
}

bool ReadRegistryString(HKEY root, const wchar_t* keyPath, const wchar_t* valueName,
                        std::wstring& value) {
    const win32::RegKey key = OpenKey(root, keyPath, KEY_QUERY_VALUE);
    if (!key) return false;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key.Get(), valueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        !IsString(type))
        return false;
    // The value may grow between the two queries; ask again with the size it reports.
    for (;;) {
        // One spare character: the stored data need not end in a null.
        std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
        DWORD got = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        const LSTATUS status = RegQueryValueExW(key.Get(), valueName, nullptr, &type,
                                                reinterpret_cast<BYTE*>(text.data()), &got);
        if (status == ERROR_MORE_DATA) {
            size = got;
            continue;
        }
        if (status != ERROR_SUCCESS || !IsString(type)) return false;
        text.resize(wcsnlen(text.data(), got / sizeof(wchar_t)));
        value = std::move(text);
        return true;
    }
}

bool WriteRegistryString(HKEY root, const wchar_t* keyPath, const wchar_t* valueName,
                         const wchar_t* value, size_t length) {
    win32::RegKey key;
    if (RegCreateKeyExW(root, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                        key.Put(), nullptr) != ERROR_SUCCESS) {
        key.Release();  // what a failed call leaves there is no key
        return false;
    }
    static const wchar_t kEmpty[] = L"";
    if (value == nullptr) {
        value = kEmpty;
        length = 0;
    }
    // REG_SZ data carries its terminating null.
    const size_t bytes = (length + 1) * sizeof(wchar_t);
    if (bytes > MAXDWORD) return false;
    return RegSetValueExW(key.Get(), valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                          static_cast<DWORD>(bytes)) == ERROR_SUCCESS;
}

bool DeleteRegistryValue(HKEY root, const wchar_t* keyPath, const wchar_t* valueName) {
    const win32::RegKey key = OpenKey(root, keyPath, KEY_SET_VALUE);
    return key && RegDeleteValueW(key.Get(), valueName) == ERROR_SUCCESS;
}

}  // namespace vellum::registry::component
