#pragma once

// The send-mail window's behaviour: its load, list and button handlers, driven through control
// interfaces so that tests run them on fakes.

#include <cstdint>
#include <string>

#include "mail/document_shell.h"
#include "mail/send_documents.h"
#include "settings/settings.h"
#include "shell/window_helpers.h"
#include "toolkit/controls.h"
#include "toolkit/file_lists.h"
#include "toolkit/msg_box.h"

namespace vellum::mail {

struct SendMailControls {
    toolkit::DriveList& drivePDF;
    toolkit::DirList& dirPDF;
    toolkit::FileList& filePDF;
    toolkit::CommandButton& cmdSendMail;
    std::uintptr_t hwnd;  // the window itself, owner of the mail system's dialogs
};

struct SendMailServices {
    MapiLibrary& mapi;
    toolkit::MsgBox& msgBox;
    shell::WindowApi& windows;
    DocumentShell& shell;
    const settings::SettingsRecord& settings;  // read when the window loads
};

inline constexpr const char* kFilePattern = "*.pdf";

class FrmSendMail {
public:
    FrmSendMail(SendMailControls controls, SendMailServices services);

    // Starts in the settings' defDir. No trap: a failure reaches the code that loaded the window.
    void Form_Load();
    // Move the next list along; a failure is reported here and the lists stay.
    void drivePDF_Change();
    void dirPDF_Change();
    // No trap: a failure reaches the platform's report of an untrapped error.
    void filePDF_DblClick();
    void cmdSendMail_Click();

private:
    SendMailControls c_;
    SendMailServices s_;
};

}  // namespace vellum::mail
