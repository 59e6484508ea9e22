#pragma once

#include <string>

namespace vellum::toolkit {

enum class Icon { Error = 16, Information = 64 };

// A modal message box with an OK button only. Texts are in the process's code page.
class MsgBox {
public:
    virtual ~MsgBox() = default;
    virtual void Show(const std::string& text, const std::string& title, Icon icon) = 0;
};

}  // namespace vellum::toolkit
