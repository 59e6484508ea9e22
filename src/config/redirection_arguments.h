#pragma once

#include <string>

namespace vellum::config {

// The RedMon port's Arguments that start this program on each job:
// "<folder>\<exeName>.exe" %%1
// The program's path is quoted, because Windows starts a program with its command line as
// written (unquoted, "C:\Program Files\..." would be cut at its first blank, or run
// "C:\Program.exe"). RedMon substitutes in Arguments before it starts RedRun and turns "%%"
// into "%", so "%%1" reaches RedRun as the "%1" it replaces with the job file's quoted path;
// a "%" in the path itself is doubled for the same reason.
std::string RedirectionArguments(const std::string& folder, const std::string& exeName);

}  // namespace vellum::config
