// The process entry point: builds the Win32 services, runs Main, then the message loop while a
// modeless window is open.

#include <windows.h>
#include <commctrl.h>

#include "config/win32/config_window_win32.h"
#include "config/win32/spooler_win32.h"
#include "convert/win32/process_runner_win32.h"
#include "convert/win32/progress_window_win32.h"
#include "mail/win32/document_shell_win32.h"
#include "mail/win32/mapi_win32.h"
#include "mail/win32/send_mail_window_win32.h"
#include "registry/win32/com_registry_access.h"
#include "registry/win32/machine_registry_win32.h"
#include "shell/win32/folder_browser_win32.h"
#include "shell/win32/window_api_win32.h"
#include "settings/settings.h"
#include "startup/command_line.h"
#include "startup/main.h"
#include "startup/win32/app_info_win32.h"
#include "startup/win32/pdf_viewer_win32.h"
#include "startup/win32/user_sessions_win32.h"
#include "toolkit/win32/file_dialogs_win32.h"
#include "toolkit/win32/task_dialog_win32.h"
#include "toolkit/win32/file_system_win32.h"
#include "toolkit/win32/handles.h"
#include "toolkit/win32/msg_box_win32.h"
#include "toolkit/win32/process_environment_win32.h"
#include "toolkit/win32/session_win32.h"
#include "toolkit/win32/strings.h"
#include "toolkit/win32/top_level.h"

namespace {

using namespace vellum;

class EventPump : public startup::EventPump {
public:
    void DoEvents() override { win32::DoEvents(); }
};

int Run() {
    win32::ComApartment com;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    win32::MsgBox msgBox;
    win32::Program program;
    win32::RegistryFactory registry;
    win32::FileSystem files;
    win32::ProcessRunner runner;
    win32::Win32ProgressWindow progress;
    win32::Mapi mapi;
    win32::WindowApi windows;
    win32::FolderBrowser folders;
    win32::Spooler spooler;
    win32::FileDialogs dialogs;
    win32::TaskDialog question;
    EventPump events;
    win32::Session session;
    win32::Elevation elevation;
    win32::MachineRegistry machine;
    const toolkit::AppInfo app = win32::ReadAppInfo();

    win32::ConfigWindow config(config::ConfigServices{registry, files, msgBox, windows, folders,
                                                      spooler, program, app, &elevation},
                               dialogs);
    win32::DocumentShell documents;
    win32::SendMailWindow sendMail(
        mail::SendMailServices{mapi, msgBox, windows, documents, settings::Settings}, program);

    win32::ProcessEnvironment environment;
    win32::PdfViewer viewer;
    startup::Services services{registry, files,   msgBox,   runner,  config,   sendMail,
                               mapi,     events,  progress, dialogs, question, environment,
                               session,  machine, viewer,   app};
    win32::UserSessions userSessions;
    services.sessions = &userSessions;
    const std::string tail =
        startup::CommandTail(win32::Narrow(GetCommandLineW()), win32::OwnPaths());
    const startup::MainResult result = startup::Main(services, tail);
    if (result.after == startup::AfterMain::EndProgram) return result.exitCode;
    if (!win32::AnyWindowVisible()) return 0;  // nothing opened: nothing to wait for
    return win32::RunMessageLoop(program);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    try {
        return Run();
    } catch (const std::exception& e) {
        win32::ReportUncaught(e);
    }
    return 1;
}
