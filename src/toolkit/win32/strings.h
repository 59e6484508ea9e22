#pragma once

// Conversions at the API boundary: the program keeps UTF-8 inside, Windows wants UTF-16
// (the W entry points) or the system code page (the A entry points).

#include <windows.h>

#include <string>

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

}  // namespace vellum::win32
