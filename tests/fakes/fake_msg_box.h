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
    // Recorded as shown with the warning icon; answers with the next of `answers` (Cancel when
    // none is left).
    toolkit::RetryAnswer AskRetry(const std::string& text, const std::string& title) override {
        shown.push_back({text, title, toolkit::Icon::Warning});
        if (answers.empty()) return toolkit::RetryAnswer::Cancel;
        const toolkit::RetryAnswer answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
    std::vector<Shown> shown;
    std::vector<toolkit::RetryAnswer> answers;
};

}  // namespace vellum
