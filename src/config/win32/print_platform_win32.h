#pragma once

#include "config/print_platform.h"

namespace vellum::win32 {

// The protected print mode values (HKLM; a value that is missing or not a DWORD
// is not set) and the machine's native architecture (IsWow64Process2, found at run time: it
// came with Windows 10 1709; before it, GetNativeSystemInfo).
config::PrintPlatform ReadPrintPlatform();

}  // namespace vellum::win32
