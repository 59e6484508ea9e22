#include "shell/win32/window_api_win32.h"

#include <windows.h>

#include "toolkit/win32/optional_entry.h"

namespace vellum::win32 {

namespace {

using SHAutoCompleteFn = HRESULT(WINAPI*)(HWND, DWORD);

HWND AsHandle(std::uintptr_t hwnd) {
    return reinterpret_cast<HWND>(hwnd);
}

}  // namespace

std::int32_t WindowApi::GetExStyle(std::uintptr_t hwnd) {
    return static_cast<std::int32_t>(GetWindowLongA(AsHandle(hwnd), GWL_EXSTYLE));
}

void WindowApi::SetExStyle(std::uintptr_t hwnd, std::int32_t style) {
    SetWindowLongA(AsHandle(hwnd), GWL_EXSTYLE, style);
}

void WindowApi::FrameChanged(std::uintptr_t hwnd) {
    SetWindowPos(AsHandle(hwnd), nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOOWNERZORDER);
}

void WindowApi::AutoComplete(std::uintptr_t hwnd, std::uint32_t flags) {
    static OptionalEntry<SHAutoCompleteFn> shAutoComplete("shlwapi.dll", "SHAutoComplete");
    shAutoComplete.Get()(AsHandle(hwnd), flags);
}

}  // namespace vellum::win32
