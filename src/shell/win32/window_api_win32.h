#pragma once

#include "shell/window_helpers.h"

namespace vellum::win32 {

// GetWindowLongA / SetWindowLongA / SetWindowPos, and SHAutoComplete looked up at run time so
// that a system without it is handled. A control whose window does not exist yet keeps what is
// asked of it until its window is created.
class Win32WindowApi : public shell::WindowApi {
public:
    std::int32_t GetExStyle(toolkit::Control& control) override;
    void SetExStyle(toolkit::Control& control, std::int32_t style) override;
    void FrameChanged(toolkit::Control& control) override;
    void AutoComplete(toolkit::Control& control, std::uint32_t flags) override;
};

}  // namespace vellum::win32
