#pragma once

#include <string>

#include "startup/services.h"

namespace vellum::startup {

enum class AfterMain {
    RunMessageLoop,  // a modeless window carries on; the program ends with its last window
    EndProgram,      // the job is done: close every window and end now
};

// The process's exit codes when the convert mode ends it.
// Where no one can see a window they say the same: 0, the PDF was written where such jobs go.
inline constexpr int kExitDone = 0;          // the PDF was written, or Save As was cancelled
inline constexpr int kExitNotConverted = 1;  // the job was not converted, for any reason

struct MainResult {
    AfterMain after = AfterMain::EndProgram;
    int exitCode = kExitDone;  // what the process returns when it ends now
};

// Where every run enters the program: loads the settings, then configures, opens the
// send-mail window, or converts the job named by `commandTail` and logs it; run elevated with
// the machine command, stores the machine's settings. Where the session's windows cannot be
// seen, a job is saved without asking and no window or message is shown (messages are logged).
MainResult Main(Services& services, const std::string& commandTail);

// The last component of a Windows path: the text after its final "\".
std::string FileNameOf(const std::string& path);

}  // namespace vellum::startup
