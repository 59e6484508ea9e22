#pragma once

// Conversions at the API boundary: the program keeps UTF-8 inside, Windows wants UTF-16
// (the W entry points) or the system code page (the A entry points).

#include <windows.h>

#include <string>

// The end-to-end driver words its failures with SystemMessage and takes it from here.
#include "toolkit/win32/system_error.h"

namespace vellum::win32 {

std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& utf16);
std::string Narrow(const wchar_t* utf16, size_t length);

// ANSI copies in the system code page; characters it lacks become its default character.
std::string ToAnsi(const std::string& utf8);
std::string FromAnsi(const std::string& ansi);

}  // namespace vellum::win32
