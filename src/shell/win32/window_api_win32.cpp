#include "shell/win32/window_api_win32.h"

#include <windows.h>

#include "toolkit/runtime_error.h"
#include "toolkit/win32/controls_win32.h"
#include "toolkit/win32/optional_entry.h"

namespace vellum::win32 {

namespace {

using SHAutoCompleteFn = HRESULT(WINAPI*)(HWND, DWORD);

// The control's wrapper while its window is still to be created; nullptr once it exists.
DeferredWindow* NotYetCreated(toolkit::Control& control) {
    auto* deferred = dynamic_cast<DeferredWindow*>(&control);
    return deferred != nullptr && !deferred->Created() ? deferred : nullptr;
}

HWND HandleOf(const toolkit::Control& control) {
    return reinterpret_cast<HWND>(control.Hwnd());
}

}  // namespace

std::int32_t Win32WindowApi::GetExStyle(toolkit::Control& control) {
    if (DeferredWindow* deferred = NotYetCreated(control)) return deferred->PendingExStyle();
    return static_cast<std::int32_t>(GetWindowLongA(HandleOf(control), GWL_EXSTYLE));
}

void Win32WindowApi::SetExStyle(toolkit::Control& control, std::int32_t style) {
    if (DeferredWindow* deferred = NotYetCreated(control)) {
        deferred->SetPendingExStyle(style);  // added to the window's own style when created
        return;
    }
    SetWindowLongA(HandleOf(control), GWL_EXSTYLE, style);
}

void Win32WindowApi::FrameChanged(toolkit::Control& control) {
    if (NotYetCreated(control)) return;  // a new window draws its frame anyway
    SetWindowPos(HandleOf(control), nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOOWNERZORDER);
}

void Win32WindowApi::AutoComplete(toolkit::Control& control, std::uint32_t flags) {
    static OptionalEntry<SHAutoCompleteFn> shAutoComplete("shlwapi.dll", "SHAutoComplete");
    const SHAutoCompleteFn complete = shAutoComplete.Get();  // a missing one fails here, now
    if (DeferredWindow* deferred = NotYetCreated(control)) {
        deferred->WhenCreated([complete, flags](HWND hwnd) { complete(hwnd, flags); });
        return;
    }
    complete(HandleOf(control), flags);
}

}  // namespace vellum::win32
