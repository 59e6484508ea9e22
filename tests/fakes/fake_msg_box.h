#pragma once

#include <string>
#include <vector>

#include "toolkit/msg_box.h"

namespace vellum {

// Records every message box instead of showing it.
class FakeMsgBox : public toolkit::MsgBox {
public:
    struct Shown {
        std::string text;
        std::string title;
        toolkit::Icon icon;
    };
    void Show(const std::string& text, const std::string& title, toolkit::Icon icon) override {
        shown.push_back({text, title, icon});
    }
    std::vector<Shown> shown;
};

}  // namespace vellum
