#pragma once

#include <windows.h>

#include <string>

namespace vellum::setup::win32 {

// A failed system call as the helper reports it: what failed, then the system's wording.
[[noreturn]] void ThrowSystemError(const std::string& what, DWORD code);

}  // namespace vellum::setup::win32
