#pragma once

#include <exception>

#include "toolkit/msg_box.h"

namespace vellum::win32 {

// MessageBoxW, owned by the thread's active window so that it is modal to it.
class MsgBox : public toolkit::MsgBox {
public:
    void Show(const std::string& text, const std::string& title, toolkit::Icon icon) override;
    toolkit::Answer Ask(const std::string& text, const std::string& title, toolkit::Icon icon,
                        toolkit::Buttons buttons) override;
};

// Reports a failure that no handler caught the way the platform reports an untrapped
// run-time error; anything but a RuntimeError counts as internal error 51. Shows nothing where
// no one can see a window.
void ReportUncaught(const std::exception& failure);

}  // namespace vellum::win32
