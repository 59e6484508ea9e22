#include "shell/window_helpers.h"

#include "toolkit/text.h"

namespace vellum::shell {

void EnableAutoComplete(WindowApi& api, toolkit::TextBox& textBox, std::uint32_t flags) noexcept {
    try {
        api.AutoComplete(textBox.Hwnd(), flags);
    } catch (...) {
        // Completion is a convenience; a system without it shows the window without it.
    }
}

void SetEdgeStyle(WindowApi& api, toolkit::Control& control, bool raised) {
    const std::uintptr_t hwnd = control.Hwnd();
    const std::int32_t style = api.GetExStyle(hwnd);
    api.SetExStyle(hwnd, style | (raised ? kWsExStaticEdge : kWsExClientEdge));
    api.FrameChanged(hwnd);
}

void SelectAllAndFocus(toolkit::TextBox& textBox) {
    textBox.SetSelStart(0);
    textBox.SetSelLength(toolkit::Utf16Length(textBox.Text()));
    textBox.SetFocus();
}

}  // namespace vellum::shell
