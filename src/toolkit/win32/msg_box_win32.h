#pragma once

#include "toolkit/msg_box.h"

namespace vellum::win32 {

// MessageBoxW with OK only, owned by the thread's active window so that it is modal to it.
class Win32MsgBox : public toolkit::MsgBox {
public:
    void Show(const std::string& text, const std::string& title, toolkit::Icon icon) override;
};

}  // namespace vellum::win32
