#pragma once

// Conversions at the wide-character boundary. Text inside the program is in the process's
// code page, which the program's manifest makes UTF-8 (activeCodePage) where Windows honours
// it, from Windows 10 1903 on; the A entry points take it as it is. The W entry points, COM
// strings and the registry component get UTF-16 converted with CP_ACP: lossless where the
// manifest took effect, and consistent with the A entry points where it did not.

#include <windows.h>

#include <string>

namespace vellum::win32 {

std::wstring Widen(const std::string& text);
std::string Narrow(const std::wstring& utf16);
std::string Narrow(const wchar_t* utf16, size_t length);

}  // namespace vellum::win32
