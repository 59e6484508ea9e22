#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vellum::toolkit {

// A question whose buttons say what each answer does ("Replace", "Add pages", "Cancel"): a
// task dialog with a warning icon. Texts are in the process's code page.
class TaskDialog {
public:
    virtual ~TaskDialog() = default;
    // The index in `buttons` of the one pressed; nothing when the dialog was closed (Esc, the
    // close box) or could not be shown.
    virtual std::optional<int> Choose(const std::string& text, const std::string& title,
                                      const std::vector<std::string>& buttons) = 0;
};

}  // namespace vellum::toolkit
