#pragma once

#include <optional>
#include <string>
#include <vector>

#include "toolkit/msg_box.h"
#include "toolkit/task_dialog.h"

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
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const Shown& s : shown) texts.push_back(s.text);
        return texts;
    }
    std::vector<Shown> shown;
    std::vector<toolkit::Answer> answers;
};

// Records every task dialog's text and answers the next of `answers`, then `otherwise`.
class FakeTaskDialog : public toolkit::TaskDialog {
public:
    std::optional<int> Choose(const std::string& text, const std::string& title,
                              const std::vector<std::string>& buttons) override {
        asked.push_back(title + ": " + text + " [" + buttons.front() + "|...]");
        if (answers.empty()) return otherwise;
        const std::optional<int> answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
    std::vector<std::string> asked;
    std::vector<std::optional<int>> answers;
    std::optional<int> otherwise;  // once `answers` is used up
};

}  // namespace vellum
