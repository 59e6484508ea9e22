#include "registry/win32/component/registry_store.h"

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace vellum::registry::component {

win32::RegKey OpenKey(HKEY root, const wchar_t* keyPath, REGSAM access) {
    win32::RegKey key;
    if (RegOpenKeyExW(root, keyPath, 0, access, key.Put()) != ERROR_SUCCESS) key.Release();
    return key;
}

namespace {

bool IsReadable(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_DWORD;
}

// A value's type and raw data, whatever its size.
bool QueryValue(HKEY key, const wchar_t* valueName, DWORD& type, std::vector<BYTE>& data) {
    DWORD size = 0;
    if (RegQueryValueExW(key, valueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return false;
    // The value may grow between two queries; ask again with the size it reports.
    for (;;) {
        // One spare character: the stored text need not end in a null.
        data.assign(size + sizeof(wchar_t), 0);
        DWORD got = static_cast<DWORD>(data.size());
        const LSTATUS status = RegQueryValueExW(key, valueName, nullptr, &type, data.data(), &got);
        if (status == ERROR_MORE_DATA) {
            size = got;
            continue;
        }
        if (status != ERROR_SUCCESS) return false;
        data.resize(got);
        return true;
    }
}

// Stored text up to its first null (the data need not end in one).
std::wstring TextOf(const std::vector<BYTE>& data) {
    std::wstring text(data.size() / sizeof(wchar_t), L'\0');
    std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
    text.resize(wcsnlen(text.c_str(), text.size()));
    return text;
}

// The text with this process's environment variables expanded; unknown ones stay as written.
bool Expand(const std::wstring& text, std::wstring& expanded) {
    DWORD size = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    for (;;) {
        if (size == 0) return false;
        std::wstring buffer(size, L'\0');
        const DWORD needed = ExpandEnvironmentStringsW(text.c_str(), buffer.data(), size);
        if (needed == 0) return false;
        if (needed <= size) {
            buffer.resize(wcsnlen(buffer.c_str(), buffer.size()));
            expanded = std::move(buffer);
            return true;
        }
        size = needed;  // the environment changed in between
    }
}

bool IsExpansionOf(HKEY root, const wchar_t* keyPath, const wchar_t* valueName,
                   const std::wstring& text) {
    const win32::RegKey key = OpenKey(root, keyPath, KEY_QUERY_VALUE);
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!key || !QueryValue(key.Get(), valueName, type, data) || type != REG_EXPAND_SZ)
        return false;
    std::wstring expanded;
    return Expand(TextOf(data), expanded) && expanded == text;
}

}  // namespace

bool ReadRegistryString(HKEY root, const wchar_t* keyPath, const wchar_t* valueName,
                        std::wstring& value) {
    const win32::RegKey key = OpenKey(root, keyPath, KEY_QUERY_VALUE);
    if (!key) return false;
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!QueryValue(key.Get(), valueName, type, data) || !IsReadable(type)) return false;
    switch (type) {
        case REG_DWORD: {
            if (data.size() != sizeof(DWORD)) return false;
            DWORD number = 0;
            std::memcpy(&number, data.data(), sizeof(number));
            value = std::to_wstring(number);
            return true;
        }
        case REG_EXPAND_SZ:
            return Expand(TextOf(data), value);
        default:
            value = TextOf(data);
            return true;
    }
}

bool WriteRegistryString(HKEY root, const wchar_t* keyPath, const wchar_t* valueName,
                         const wchar_t* value, size_t length) {
    static const wchar_t kEmpty[] = L"";
    if (value == nullptr) {
        value = kEmpty;
        length = 0;
    }
    if (IsExpansionOf(root, keyPath, valueName, std::wstring(value, length))) return true;

    win32::RegKey key;
    if (RegCreateKeyExW(root, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                        key.Put(), nullptr) != ERROR_SUCCESS) {
        key.Release();  // what a failed call leaves there is no key
        return false;
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
