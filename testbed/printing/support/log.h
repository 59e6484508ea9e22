#pragma once

// Diagnostics of the print chain's stand-ins. They run inside other programs' processes
// (the monitor) or with no console (RedRun), so failures go to the debugger and, when the
// environment names a file in VELLUM_REDMON_LOG, are appended there for the tests to read.

#include <string>

namespace vellum::testbed {

// One line "<who>[<pid>]: <message>", also to standard error when there is one; never throws.
void Log(const std::string& who, const std::string& message);

}  // namespace vellum::testbed
