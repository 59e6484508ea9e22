#pragma once

// Conversions at the API boundary: the program keeps UTF-8 inside, Windows wants UTF-16
// (the W entry points) or the system code page (the A entry points).

#include <windows.h>

#include <string>
#include <vector>

namespace vellum::win32 {

std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& utf16);
std::string Narrow(const wchar_t* utf16, size_t length);

// ANSI copies in the system code page; characters it lacks become its default character.
std::string ToAnsi(const std::string& utf8);
std::string FromAnsi(const std::string& ansi);

// FormatMessage's wording of a system error code, without the trailing line break; "" when the
// system has none (Wine has none for many COM results).
std::string SystemWording(DWORD code);
// The wording, or "System error N." when there is none.
std::string SystemMessage(DWORD code);
// SystemMessage with its inserts filled: "%1" by inserts[0] (the file a failure concerns),
// "%2" by inserts[1] and so on; inserts not given are empty.
std::string SystemMessageWith(DWORD code, const std::vector<std::string>& inserts);
// ntdll's wording of a status code, such as the exception a crashed process exits with, its
// inserts left as they are ("0x%p"): no one can fill them afterwards. "" when there is none.
std::string StatusWording(DWORD status);

}  // namespace vellum::win32
