#include "mail/win32/send_mail_window_win32.h"

#include "toolkit/win32/top_level.h"

namespace vellum::win32 {

namespace {

constexpr wchar_t kClassName[] = L"VellumSendMail";
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

}  // namespace

Win32SendMailWindow::Win32SendMailWindow(toolkit::MsgBox& msgBox, toolkit::Program& program)
    : msgBox_(msgBox), program_(program) {}

void Win32SendMailWindow::Show() {
    if (Hwnd() == nullptr)
        CreateTopLevel(kClassName, "Send PDF by eMail", kWindowStyle, 6900, 2580,
                       LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(2)));
    ShowWindow(Hwnd(), SW_SHOW);
    SetForegroundWindow(Hwnd());
    UpdateWindow(Hwnd());
}

LRESULT Win32SendMailWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        ShowWindow(Hwnd(), SW_HIDE);
        EndWhenNoWindowIsLeft(program_);
        return 0;
    }
    return Window::OnMessage(message, wParam, lParam);
}

}  // namespace vellum::win32
