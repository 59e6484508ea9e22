#pragma once

#include "shell/window_helpers.h"

namespace vellum::win32 {

// GetWindowLongA / SetWindowLongA / SetWindowPos, and SHAutoComplete looked up at run time so
// that a system without it is handled.
class WindowApi : public shell::WindowApi {
public:
    std::int32_t GetExStyle(std::uintptr_t hwnd) override;
    void SetExStyle(std::uintptr_t hwnd, std::int32_t style) override;
    void FrameChanged(std::uintptr_t hwnd) override;
    void AutoComplete(std::uintptr_t hwnd, std::uint32_t flags) override;
};

}  // namespace vellum::win32
