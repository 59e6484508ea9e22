#include "toolkit/win32/msg_box_win32.h"

#include <windows.h>

#include "toolkit/error_report.h"
#include "toolkit/win32/strings.h"

namespace vellum::win32 {

void MsgBox::Show(const std::string& text, const std::string& title, toolkit::Icon icon) {
    const UINT style = MB_OK | MB_SETFOREGROUND |
                       (icon == toolkit::Icon::Error ? MB_ICONERROR : MB_ICONINFORMATION);
    MessageBoxW(GetActiveWindow(), Widen(text).c_str(), Widen(title).c_str(), style);
}

toolkit::RetryAnswer MsgBox::AskRetry(const std::string& text, const std::string& title) {
    const int chosen = MessageBoxW(GetActiveWindow(), Widen(text).c_str(), Widen(title).c_str(),
                                   MB_RETRYCANCEL | MB_ICONWARNING | MB_SETFOREGROUND);
    return chosen == IDRETRY ? toolkit::RetryAnswer::Retry : toolkit::RetryAnswer::Cancel;
}

void ReportUncaught(const std::exception& failure) {
    MsgBox box;
    if (const auto* error = dynamic_cast<const toolkit::RuntimeError*>(&failure))
        toolkit::ReportUntrapped(box, *error);
    else
        toolkit::ReportUntrapped(box,
                                 toolkit::RuntimeError(51, toolkit::kVellumSource, failure.what()));
}

}  // namespace vellum::win32
