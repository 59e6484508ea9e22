#pragma once

// The driver's verbatim process start; not part of its interface (Process::StartVerbatim is).

#include <windows.h>

#include <string>

namespace vellum::e2e::internal {

struct StartedProcess {
    HANDLE process = nullptr;
    HANDLE thread = nullptr;
};

// Creates a running process of `imagePath` (a full Win32 path) whose command line is exactly
// `commandLine`, through ntdll's RtlCreateProcessParametersEx and NtCreateUserProcess (looked
// up at run time: neither is in the import libraries). `environment` is a UTF-16 block ending
// in two NULs; `currentFolder` a full path. The caller owns both handles. Throws DriverError
// with the system's reason when the process cannot be created.
StartedProcess StartVerbatim(const std::wstring& imagePath, const std::wstring& commandLine,
                             const wchar_t* environment, const std::wstring& currentFolder);

}  // namespace vellum::e2e::internal
