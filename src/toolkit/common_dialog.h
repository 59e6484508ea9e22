#pragma once

// The common-dialog object that windows carry: properties set one by one, then ShowSave or
// ShowOpen, then FileName holds the choice.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vellum::toolkit {

inline constexpr std::uint32_t kOfnOverwritePrompt = 0x2;
inline constexpr std::uint32_t kOfnHideReadOnly = 0x4;

struct FileDialogRequest {
    std::uintptr_t owner = 0;
    std::string title;  // empty: the dialog's own title
    std::string fileName;
    std::vector<std::pair<std::string, std::string>> filters;  // (description, pattern)
    std::string initDir;
    std::uint32_t flags = 0;
    std::string defaultExt;  // appended by the dialog to a name typed without extension
};

// The platform's Save As and Open dialogs, modal. Returns the chosen path, or nothing when
// the user cancelled. Throws RuntimeError when the dialog itself fails.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    virtual std::optional<std::string> ShowSave(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> ShowOpen(const FileDialogRequest& request) = 0;
};

// Splits "desc|pattern|desc|pattern" into pairs; a trailing description without a pattern is
// dropped.
std::vector<std::pair<std::string, std::string>> ParseFilter(const std::string& filter);

class CommonDialog {
public:
    CommonDialog(FileDialogs& dialogs, std::string storedTitle)
        : DialogTitle(std::move(storedTitle)), dialogs_(dialogs) {}

    // With CancelError true, a cancel throws RuntimeError kErrCommonDialogCancel; otherwise
    // a cancel leaves FileName empty.
    void ShowSave() { Show(true); }
    void ShowOpen() { Show(false); }

    std::uintptr_t owner = 0;
    std::string DialogTitle;
    std::string FileName;
    std::string Filter;
    std::string InitDir;
    std::string DefaultExt;
    std::uint32_t Flags = 0;
    bool CancelError = false;

private:
    void Show(bool save);
    FileDialogs& dialogs_;
};

}  // namespace vellum::toolkit
