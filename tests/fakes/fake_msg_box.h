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
    // Recorded in `shown` too; answers the next of `answers`, else as Esc does.
    toolkit::Answer Ask(const std::string& text, const std::string& title, toolkit::Icon icon,
                        toolkit::Buttons buttons) override {
        shown.push_back({text, title, icon});
        if (answers.empty())
            return buttons == toolkit::Buttons::YesNo ? toolkit::Answer::No
                                                      : toolkit::Answer::Cancel;
        const toolkit::Answer answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
    std::vector<Shown> shown;
    std::vector<toolkit::Answer> answers;
};

}  // namespace vellum
