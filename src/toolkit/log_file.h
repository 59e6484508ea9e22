#pragma once

// Vellum's log, %ProgramData%\Vellum\vellum.log: jobs, their messages and what setup could not
// do, one line each, appended whole so that programs writing at once never mix their lines.
// docs/users.md shows the format.

#include <cstdint>
#include <string>

#include "toolkit/file_system.h"
#include "toolkit/process_environment.h"
#include "toolkit/session.h"

namespace vellum::toolkit {

// Above this size the log moves to vellum.old.log (replacing it) before the next line.
inline constexpr std::uint64_t kLogLimit = 1024 * 1024;

// The log's folder, %ProgramData%\Vellum (C:\ProgramData\Vellum when the variable is unset).
std::string LogFolder(ProcessEnvironment& environment);

// `text` as one field: a tab or line break inside it would break its line or its columns.
std::string LogField(const std::string& text);

// Appends "<time> <user> <document> <fields>" (tab-separated; `fields` already tab-joined
// LogFields) to vellum.log in `folder`. Never throws: a line that cannot be written is lost.
void AppendLogLine(FileSystem& files, const std::string& folder, const LocalTime& time,
                   const std::string& user, const std::string& document, const std::string& fields);

}  // namespace vellum::toolkit
