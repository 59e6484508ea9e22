#include "toolkit/win32/task_dialog_win32.h"

#include <windows.h>
#include <commctrl.h>

#include "toolkit/win32/strings.h"

namespace vellum::win32 {

std::optional<int> TaskDialog::Choose(const std::string& text, const std::string& title,
                                      const std::vector<std::string>& buttons) {
    std::vector<std::wstring> captions;
    for (const std::string& caption : buttons) captions.push_back(Widen(caption));
    std::vector<TASKDIALOG_BUTTON> items;
    for (size_t i = 0; i < captions.size(); ++i)
        items.push_back({kFirstButtonId + static_cast<int>(i), captions[i].c_str()});
    const std::wstring wideText = Widen(text);
    const std::wstring wideTitle = Widen(title);
    TASKDIALOGCONFIG config{};
    config.cbSize = sizeof config;
    config.hwndParent = GetActiveWindow();
    // Esc and the close box answer as no button does.
    config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION | TDF_POSITION_RELATIVE_TO_WINDOW;
    config.pszWindowTitle = wideTitle.c_str();
    config.pszMainIcon = TD_WARNING_ICON;
    config.pszContent = wideText.c_str();
    config.cButtons = static_cast<UINT>(items.size());
    config.pButtons = items.data();
    config.nDefaultButton = kFirstButtonId;
    int pressed = 0;
    // A dialog that could not be shown is taken as closed: nothing is decided for the user.
    if (FAILED(TaskDialogIndirect(&config, &pressed, nullptr, nullptr))) return std::nullopt;
    const int index = pressed - kFirstButtonId;
    if (index < 0 || index >= static_cast<int>(items.size())) return std::nullopt;
    return index;
}

}  // namespace vellum::win32
