#include "shell/win32/window_api_win32.h"

#include <windows.h>

#include "toolkit/runtime_error.h"
#include "toolkit/win32/optional_entry.h"

namespace vellum::win32 {

namespace {

HWND AsHwnd(std::uintptr_t hwnd) { return reinterpret_cast<HWND>(hwnd); }

using SHAutoCompleteFn = HRESULT(WINAPI*)(HWND, DWORD);

}  // namespace

std::int32_t Win32WindowApi::GetExStyle(std::uintptr_t hwnd) {
    return static_cast<std::int32_t>(GetWindowLongA(AsHwnd(hwnd), GWL_EXSTYLE));
}

void Win32WindowApi::SetExStyle(std::uintptr_t hwnd, std::int32_t style) {
    SetWindowLongA(AsHwnd(hwnd), GWL_EXSTYLE, style);
}

void Win32WindowApi::FrameChanged(std::uintptr_t hwnd) {
    SetWindowPos(AsHwnd(hwnd), nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOOWNERZORDER);
}

void Win32WindowApi::AutoComplete(std::uintptr_t hwnd, std::uint32_t flags) {
    static OptionalEntry<SHAutoCompleteFn> shAutoComplete("shlwapi.dll", "SHAutoComplete");
    shAutoComplete.Get()(AsHwnd(hwnd), flags);
}

}  // namespace vellum::win32
