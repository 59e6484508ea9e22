#pragma once

// What every mode of the program reaches the system through.

#include "config/config_window.h"
#include "convert/process_runner.h"
#include "convert/progress.h"
#include "mail/send_documents.h"
#include "mail/send_mail_window.h"
#include "registry/machine_registry.h"
#include "registry/registry_access.h"
#include "startup/handover.h"
#include "startup/pdf_viewer.h"
#include "toolkit/app_info.h"
#include "toolkit/common_dialog.h"
#include "toolkit/file_system.h"
#include "toolkit/msg_box.h"
#include "toolkit/process_environment.h"
#include "toolkit/session.h"
#include "toolkit/task_dialog.h"

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
    toolkit::TaskDialog& question;  // what to do with an existing PDF
    toolkit::ProcessEnvironment& environment;
    toolkit::Session& session;           // whether windows can be seen; who and when, for the log
    registry::MachineRegistry& machine;  // where installed Ghostscript versions are recorded
    PdfViewer& viewer;                   // shows the written PDF when the user asked for it
    toolkit::AppInfo app = {};           // the program's own folder, which the port runs
    UserSessions* sessions = nullptr;    // hands an unseen job to its user's session; none: never
};

}  // namespace vellum::startup
