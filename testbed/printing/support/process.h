#pragma once

// Starting a program and waiting for it, the way the monitor and RedRun both hand a job on.

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "toolkit/win32/system_error.h"

namespace vellum::testbed {

using EnvironmentAdditions = std::vector<std::pair<std::wstring, std::wstring>>;

// Runs `commandLine` (a full Windows command line, program first, handed over exactly as it
// is, as Windows hands it: an unquoted program path with blanks stays unquoted; the program is
// found by CreateProcess's rules, see ProgramOfCommandLine) and waits for it to end. When `input`
// is given, the child reads it as standard input (an inheritable duplicate is made for the start
// only); its output goes where this process's output goes. The child's environment is this
// process's with `added` appended. Returns the child's exit code; throws toolkit::RuntimeError when
// it cannot be started.
DWORD RunAndWait(const std::wstring& commandLine, HANDLE input = nullptr,
                 const EnvironmentAdditions& added = {});

// A new empty file in the temporary folder, its name starting with `prefix` (three letters).
std::wstring NewTempFile(const wchar_t* prefix);

// Failed system calls are worded as everywhere else in the program.
using win32::ThrowSystemError;

}  // namespace vellum::testbed
