#include "convert/win32/progress_window_win32.h"

#include "convert/progress_ids.h"
#include "toolkit/win32/strings.h"

namespace vellum::win32 {

namespace ids = convert::ids;

namespace {

constexpr wchar_t kClassName[] = L"VellumProgress";
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

std::string TimeText(const std::string& elapsed) {
    return "Time so far: " + elapsed;
}

}  // namespace

void Win32ProgressWindow::Open(const std::string& pdfPath) {
    Close();
    cancelRequested_ = false;
    CreateTopLevel(kClassName, ids::kProgressTitle, kWindowStyle, 5400, 1335,
                   LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1)));
    const HWND form = Hwnd();
    CreateControl(form, L"STATIC", "Converting the print job to", SS_LEFT | SS_NOPREFIX, 0,
                  {150, 120, 5100, 240}, ids::kProgressWhat);
    // A long path keeps its drive and its file name and loses the middle.
    CreateControl(form, L"STATIC", pdfPath, SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS, 0,
                  {150, 375, 5100, 240}, ids::kProgressPdf);
    CreateControl(form, L"STATIC", TimeText("0:00"), SS_LEFT | SS_NOPREFIX, 0,
                  {150, 870, 3500, 240}, ids::kProgressTime);
    const HWND cancel = CreateControl(form, L"BUTTON", "Cancel", WS_TABSTOP | BS_DEFPUSHBUTTON, 0,
                                      {4050, 780, 1200, 375}, ids::kProgressCancel);

    // Centred on the screen's work area, in front: the Save As dialog that was there is gone.
    RECT window, work;
    GetWindowRect(form, &window);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    SetWindowPos(form, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(form, SW_SHOW);
    SetForegroundWindow(form);
    SetFocus(cancel);
    UpdateWindow(form);
}

void Win32ProgressWindow::ShowTime(const std::string& elapsed) {
    if (Hwnd() != nullptr)
        SetDlgItemTextW(Hwnd(), ids::kProgressTime, Widen(TimeText(elapsed)).c_str());
}

void Win32ProgressWindow::Close() {
    Destroy();
}

void Win32ProgressWindow::RequestCancel() {
    cancelRequested_ = true;
    EnableWindow(GetDlgItem(Hwnd(), ids::kProgressCancel), FALSE);
    SetDlgItemTextW(Hwnd(), ids::kProgressTime, L"Cancelling...");
}

LRESULT Win32ProgressWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == ids::kProgressCancel) {
                RequestCancel();
                return 0;
            }
            break;
        case WM_CLOSE:
            // The close box cancels; the window goes when the run has ended.
            RequestCancel();
            return 0;
    }
    return Window::OnMessage(message, wParam, lParam);
}

}  // namespace vellum::win32
