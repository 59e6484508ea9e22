#pragma once

// The one wording of a failed system call: what failed, the system's own words for the error
// (FormatMessage) and its number, "The window could not be created: Invalid window handle
// (1400)". Win32 error codes are shown in decimal, COM results (HRESULTs) in hexadecimal.

#include <windows.h>

#include <string>
#include <vector>

#include "toolkit/runtime_error.h"

namespace vellum::win32 {

// FormatMessage's wording of a system error code or COM result, without the closing full stop
// and line break; "" when the system has none (Wine has none for many COM results).
std::string SystemWording(DWORD code);

// The wording alone, "System error N" where there is none: for a caller that shows the number
// itself.
std::string SystemMessage(DWORD code);

// "Invalid window handle (1400)", "Class not registered (0x80040154)"; "error 1400" when the
// system has no wording.
std::string DescribeSystemError(DWORD code);

// DescribeSystemError with the wording's inserts filled: "%1" by inserts[0] (the file the
// failure concerns), "%2" by inserts[1] and so on; inserts not given read as empty.
// "Bad EXE format for C:\gs\gswin64c.exe (193)".
std::string DescribeSystemError(DWORD code, const std::vector<std::string>& inserts);

// ntdll's wording of a status code, such as the exception a crashed process exits with, its
// inserts left as they are ("0x%p"): no one can fill them afterwards. "" when there is none.
std::string StatusWording(DWORD status);

// "<what>: " followed by DescribeSystemError(code).
std::string SystemErrorText(const std::string& what, DWORD code);

// A RuntimeError numbered `code`, raised by `source`, described by SystemErrorText.
toolkit::RuntimeError SystemError(const std::string& what, DWORD code,
                                  std::string source = toolkit::kVellumSource);

[[noreturn]] void ThrowSystemError(const std::string& what, DWORD code);

// Captures GetLastError at once and throws it as SystemError.
[[noreturn]] void ThrowLastError(const std::string& what);

}  // namespace vellum::win32
