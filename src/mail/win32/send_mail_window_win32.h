#pragma once

#include "mail/send_mail_window.h"
#include "toolkit/msg_box.h"
#include "toolkit/program.h"
#include "toolkit/win32/window.h"

namespace vellum::win32 {

// "Send PDF by eMail".
class Win32SendMailWindow : public mail::SendMailWindow, private Window {
public:
    Win32SendMailWindow(toolkit::MsgBox& msgBox, toolkit::Program& program);
    void Show() override;

private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    toolkit::MsgBox& msgBox_;
    toolkit::Program& program_;
};

}  // namespace vellum::win32
