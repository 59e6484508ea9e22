#pragma once

#include "toolkit/task_dialog.h"

namespace vellum::win32 {

// TaskDialogIndirect (common controls 6, which the program's manifest asks for), owned by the
// thread's active window; button i gets the id kFirstButtonId + i.
class TaskDialog : public toolkit::TaskDialog {
public:
    static constexpr int kFirstButtonId = 100;
    std::optional<int> Choose(const std::string& text, const std::string& title,
                              const std::vector<std::string>& buttons) override;
};

}  // namespace vellum::win32
