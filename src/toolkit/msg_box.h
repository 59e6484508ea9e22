#pragma once

#include <string>

namespace vellum::toolkit {

enum class Icon { Error = 16, Question = 32, Warning = 48, Information = 64 };

// The buttons of a question, and the one pressed; Esc and the close box answer No or Cancel.
// NoWindow: no window can be shown where the process runs, so nothing was asked.
enum class Buttons { YesNo, RetryCancel };
enum class Answer { Yes, No, Retry, Cancel, NoWindow };

// Modal message boxes. Texts are in the process's code page.
class MsgBox {
public:
    virtual ~MsgBox() = default;
    // With an OK button only.
    virtual void Show(const std::string& text, const std::string& title, Icon icon) = 0;
    virtual Answer Ask(const std::string& text, const std::string& title, Icon icon,
                       Buttons buttons) = 0;
};

}  // namespace vellum::toolkit
