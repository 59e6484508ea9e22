#pragma once

// The send-mail window "Send PDF by eMail": creates its controls where the form's design puts
// them and routes their events to FrmSendMail, which holds the behaviour.

#include <memory>

#include "mail/frm_send_mail.h"
#include "mail/send_mail_window.h"
#include "toolkit/program.h"
#include "toolkit/win32/controls_win32.h"
#include "toolkit/win32/file_lists_win32.h"
#include "toolkit/win32/window.h"

namespace vellum::win32 {

class SendMailWindow : public mail::SendMailWindow, private Window {
public:
    // `services` and `program` must outlive the window.
    SendMailWindow(mail::SendMailServices services, toolkit::Program& program);
    ~SendMailWindow() override;

    void Show() override;

private:
    void CreateControls();
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnCommand(int id, WORD code);

    mail::SendMailServices services_;
    toolkit::Program& program_;

    DriveList drivePDF_;
    DirList dirPDF_;
    FileList filePDF_;
    Button cmdSendMail_;
    HWND focus_ = nullptr;  // the control to give the focus back to on activation

    std::unique_ptr<mail::FrmSendMail> form_;
};

}  // namespace vellum::win32
