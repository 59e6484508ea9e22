#pragma once

// Small helpers that act on one control through its window handle.

#include <cstdint>

#include "toolkit/controls.h"

namespace vellum::shell {

inline constexpr std::uint32_t kShacfFileSystem = 0x1;
inline constexpr std::int32_t kWsExStaticEdge = 0x20000;
inline constexpr std::int32_t kWsExClientEdge = 0x200;

// The window-manager calls the helpers make on a control's window handle.
class WindowApi {
public:
    virtual ~WindowApi() = default;
    virtual std::int32_t GetExStyle(std::uintptr_t hwnd) = 0;
    virtual void SetExStyle(std::uintptr_t hwnd, std::int32_t style) = 0;
    // Recomputes and redraws the frame; position, size and stacking stay.
    virtual void FrameChanged(std::uintptr_t hwnd) = 0;
    // SHAutoComplete; throws RuntimeError when it is not available on this system.
    virtual void AutoComplete(std::uintptr_t hwnd, std::uint32_t flags) = 0;
};

// Both helpers act on the control's window, at once or when it is made (Control::WhenCreated);
// `api` must live until then.

// Switches on path completion; every failure is silent.
void EnableAutoComplete(WindowApi& api, toolkit::TextBox& textBox, std::uint32_t flags) noexcept;

// Adds the static edge (raised) or the client edge; never removes an edge bit. A failure
// reaches the caller, or the code that makes the window when that comes later.
void SetEdgeStyle(WindowApi& api, toolkit::Control& control, bool raised);

// Selects the whole text and gives the box the focus, so that typing replaces it.
void SelectAllAndFocus(toolkit::TextBox& textBox);

}  // namespace vellum::shell
