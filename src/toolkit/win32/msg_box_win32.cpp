#include "toolkit/win32/msg_box_win32.h"

#include <windows.h>

#include "toolkit/error_report.h"
#include "toolkit/win32/session_win32.h"
#include "toolkit/win32/strings.h"

namespace vellum::win32 {

namespace {

int Box(const std::string& text, const std::string& title, toolkit::Icon icon, UINT buttons) {
    // The icon's value is MessageBox's own.
    const UINT style = buttons | MB_SETFOREGROUND | static_cast<UINT>(icon);
    return MessageBoxW(GetActiveWindow(), Widen(text).c_str(), Widen(title).c_str(), style);
}

}  // namespace

void MsgBox::Show(const std::string& text, const std::string& title, toolkit::Icon icon) {
    Box(text, title, icon, MB_OK);
}

toolkit::Answer MsgBox::Ask(const std::string& text, const std::string& title, toolkit::Icon icon,
                            toolkit::Buttons buttons) {
    const bool yesNo = buttons == toolkit::Buttons::YesNo;
    // A box that could not be shown (0) is taken as the answer that keeps things as they are.
    switch (Box(text, title, icon, yesNo ? MB_YESNO : MB_RETRYCANCEL)) {
        case IDYES:
            return toolkit::Answer::Yes;
        case IDRETRY:
            return toolkit::Answer::Retry;
        default:
            return yesNo ? toolkit::Answer::No : toolkit::Answer::Cancel;
    }
}

void ReportUncaught(const std::exception& failure) {
    // Where no one sees the window station a box would wait for a click that never comes.
    if (!Session().CanShowWindows()) return;
    MsgBox box;
    if (const auto* error = dynamic_cast<const toolkit::RuntimeError*>(&failure))
        toolkit::ReportUntrapped(box, *error);
    else
        toolkit::ReportUntrapped(box,
                                 toolkit::RuntimeError(51, toolkit::kVellumSource, failure.what()));
}

}  // namespace vellum::win32
