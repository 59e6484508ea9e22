#include "shell/window_helpers.h"

#include "toolkit/text.h"

namespace vellum::shell {

void EnableAutoComplete(WindowApi& api, toolkit::TextBox& textBox, std::uint32_t flags) noexcept {
    try {
        api.AutoComplete(textBox, flags);
    } catch (...) {
        // Completion is a convenience; a system without it shows the window without it.
    }
}

void SetEdgeStyle(WindowApi& api, toolkit::Control& control, bool raised) {
    const std::int32_t style = api.GetExStyle(control);
    api.SetExStyle(control, style | (raised ? kWsExStaticEdge : kWsExClientEdge));
    api.FrameChanged(control);
}

void SelectAllAndFocus(toolkit::TextBox& textBox) {
    textBox.SetSelStart(0);
    textBox.SetSelLength(toolkit::Utf16Length(textBox.Text()));
    textBox.SetFocus();
}

}  // namespace vellum::shell
