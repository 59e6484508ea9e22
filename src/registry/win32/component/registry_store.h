#pragma once

// The component's reach into the real registry, in UTF-16 through the W entry points.

#include <windows.h>

#include <string>

#include "toolkit/win32/handles.h"

namespace vellum::registry::component {

// The predefined keys travel as 32-bit values; sign-extending them gives the 64-bit handles
// (0x80000002 becomes HKEY_LOCAL_MACHINE).
inline HKEY RootKey(LONG root) {
    return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(root));
}

// The key opened with `access`, or an empty owner when it cannot be opened.
win32::RegKey OpenKey(HKEY root, const wchar_t* keyPath, REGSAM access);

// Fetches a value's text as users store it: a REG_SZ up to its first null; a REG_EXPAND_SZ
// with its environment variables expanded ("%ProgramFiles%\gs"); a REG_DWORD as its decimal
// number ("1"). False when the key or value is missing, unreadable or of another type;
// `value` is then unchanged. Throws std::bad_alloc.
bool ReadRegistryString(HKEY root, const wchar_t* keyPath, const wchar_t* valueName,
                        std::wstring& value);

// Stores `length` characters of `value` (null-terminated there, as a BSTR is) as a REG_SZ,
// creating the key when it is missing. A null `value` stores an empty string. A REG_EXPAND_SZ
// whose expansion is already `value` is left as it is, so that a value written back unchanged
// ("%USERPROFILE%\Documents") stays per user. Throws std::bad_alloc.
bool WriteRegistryString(HKEY root, const wchar_t* keyPath, const wchar_t* valueName,
                         const wchar_t* value, size_t length);

// Removes a value; false when it was not there or could not be removed.
bool DeleteRegistryValue(HKEY root, const wchar_t* keyPath, const wchar_t* valueName);

}  // namespace vellum::registry::component
