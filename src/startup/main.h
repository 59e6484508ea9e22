#pragma once

#include <string>

#include "config/config_window.h"
#include "convert/process_runner.h"
#include "convert/progress.h"
#include "mail/send_documents.h"
#include "mail/send_mail_window.h"
#include "registry/machine_registry.h"
#include "registry/registry_access.h"
#include "toolkit/app_info.h"
#include "startup/pdf_viewer.h"
#include "toolkit/common_dialog.h"
#include "toolkit/file_system.h"
#include "toolkit/msg_box.h"
#include "toolkit/process_environment.h"
#include "toolkit/session.h"

namespace vellum::startup {

// Lets pending window events be processed once.
class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void DoEvents() = 0;
};

struct Services {
    registry::RegistryFactory& registry;
    toolkit::FileSystem& files;
    toolkit::MsgBox& msgBox;
    convert::ProcessRunner& runner;
    config::ConfigWindow& config;
    mail::SendMailWindow& sendMail;
    mail::MapiLibrary& mapi;
    EventPump& events;
    convert::ProgressWindow& progress;
    toolkit::FileDialogs& dialogs;  // the convert mode's Save As
    toolkit::ProcessEnvironment& environment;
    toolkit::Session& session;           // whether windows can be seen; who and when, for the log
    registry::MachineRegistry& machine;  // where installed Ghostscript versions are recorded
    PdfViewer& viewer;                   // shows the written PDF when the user asked for it
    toolkit::AppInfo app = {};           // the program's own folder, which the port runs
};

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
