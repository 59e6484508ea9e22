#pragma once

#include <string>

namespace vellum::toolkit {

enum class Icon { Error = 16, Warning = 48, Information = 64 };

// What the user chose in a Retry/Cancel box; NoWindow where none can be shown (nothing asked).
enum class RetryAnswer { Retry, Cancel, NoWindow };

// Modal message boxes. Texts are in the process's code page.
class MsgBox {
public:
    virtual ~MsgBox() = default;
    // OK only.
    virtual void Show(const std::string& text, const std::string& title, Icon icon) = 0;
    // Retry and Cancel, with the warning icon.
    virtual RetryAnswer AskRetry(const std::string& text, const std::string& title) = 0;
};

}  // namespace vellum::toolkit
