#include "toolkit/win32/top_level.h"

namespace vellum::win32 {

namespace {

BOOL CALLBACK FindVisible(HWND hwnd, LPARAM found) {
    if (IsWindowVisible(hwnd)) {
        *reinterpret_cast<bool*>(found) = true;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK HideWindow(HWND hwnd, LPARAM) {
    ShowWindow(hwnd, SW_HIDE);
    return TRUE;
}

// One message, with dialog navigation (Tab, access keys) in its top-level window.
void Dispatch(MSG& msg) {
    const HWND top = GetAncestor(msg.hwnd, GA_ROOT);
    if (top != nullptr && IsDialogMessageW(top, &msg)) return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

}  // namespace

bool AnyWindowVisible() {
    bool found = false;
    EnumThreadWindows(GetCurrentThreadId(), FindVisible, reinterpret_cast<LPARAM>(&found));
    return found;
}

void Program::End() {
    if (ended_) return;
    ended_ = true;
    EnumThreadWindows(GetCurrentThreadId(), HideWindow, 0);
    PostQuitMessage(0);
}

void DoEvents() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

int RunMessageLoop(const Program& program) {
    MSG msg;
    while (!program.Ended() && GetMessageW(&msg, nullptr, 0, 0) > 0) Dispatch(msg);
    return 0;
}

bool RunMessageLoopUntil(const std::function<bool()>& done) {
    MSG msg;
    while (!done()) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        if (got < 0) return false;
        Dispatch(msg);
    }
    return true;
}

}  // namespace vellum::win32
