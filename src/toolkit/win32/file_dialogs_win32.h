#pragma once

#include "toolkit/common_dialog.h"

namespace vellum::win32 {

// GetSaveFileNameW / GetOpenFileNameW.
class FileDialogs : public toolkit::FileDialogs {
public:
    std::optional<std::string> ShowSave(const toolkit::FileDialogRequest& request) override;
    std::optional<std::string> ShowOpen(const toolkit::FileDialogRequest& request) override;
};

}  // namespace vellum::win32
