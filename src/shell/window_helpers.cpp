#include "shell/window_helpers.h"

#include "toolkit/text.h"

namespace vellum::shell {

void EnableAutoComplete(WindowApi& api, toolkit::TextBox& textBox, std::uint32_t flags) noexcept {
    // Completion is a convenience; a system without it shows the window without it.
    try {
        textBox.WhenCreated([&api, flags](std::uintptr_t hwnd) {
            try {
                api.AutoComplete(hwnd, flags);
            } catch (...) {
            }
        });
    } catch (...) {
    }
}

void SetEdgeStyle(WindowApi& api, toolkit::Control& control, bool raised) {
    control.WhenCreated([&api, raised](std::uintptr_t hwnd) {
        const std::int32_t style = api.GetExStyle(hwnd);
        api.SetExStyle(hwnd, style | (raised ? kWsExStaticEdge : kWsExClientEdge));
        api.FrameChanged(hwnd);
    });
}

void SelectAllAndFocus(toolkit::TextBox& textBox) {
    textBox.SetSelStart(0);
    textBox.SetSelLength(toolkit::Utf16Length(textBox.Text()));
    textBox.SetFocus();
}

}  // namespace vellum::shell
