#include "toolkit/win32/file_dialogs_win32.h"

#include <windows.h>
#include <commdlg.h>

#include <vector>

#include "toolkit/runtime_error.h"
#include "toolkit/win32/strings.h"

namespace vellum::win32 {

namespace {

// Long enough for any path the dialog can return, several times over.
constexpr DWORD kFileBufferChars = 32768;

std::optional<std::string> ShowFileDialog(const toolkit::FileDialogRequest& request, bool save) {
    std::wstring filter;
    for (const auto& [description, pattern] : request.filters) {
        filter += Widen(description);
        filter += L'\0';
        filter += Widen(pattern);
        filter += L'\0';
    }
    filter += L'\0';

    std::vector<wchar_t> file(kFileBufferChars, L'\0');
    const std::wstring initial = Widen(request.fileName);
    initial.copy(file.data(), std::min<size_t>(initial.size(), file.size() - 1));
    const std::wstring title = Widen(request.title);
    const std::wstring initDir = Widen(request.initDir);
    const std::wstring defExt = Widen(request.defaultExt);

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    // A hidden owner (the configuration window loaded only for its dialog) would keep the
    // dialog off the taskbar; it then stands on its own.
    const HWND owner = reinterpret_cast<HWND>(request.owner);
    ofn.hwndOwner = owner != nullptr && IsWindowVisible(owner) ? owner : nullptr;
    ofn.lpstrFilter = request.filters.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = kFileBufferChars;
    ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
    ofn.lpstrInitialDir = initDir.empty() ? nullptr : initDir.c_str();
    ofn.lpstrDefExt = defExt.empty() ? nullptr : defExt.c_str();
    ofn.Flags = request.flags | OFN_EXPLORER;

    const BOOL chosen = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    if (chosen) return Narrow(std::wstring(file.data()));
    const DWORD error = CommDlgExtendedError();
    if (error == 0) return std::nullopt;  // cancelled
    throw toolkit::RuntimeError(
        static_cast<std::int32_t>(error), "CommonDialog",
        "The file dialog could not be shown (error " + std::to_string(error) + ").");
}

}  // namespace

std::optional<std::string> FileDialogs::ShowSave(const toolkit::FileDialogRequest& request) {
    return ShowFileDialog(request, true);
}

std::optional<std::string> FileDialogs::ShowOpen(const toolkit::FileDialogRequest& request) {
    return ShowFileDialog(request, false);
}

}  // namespace vellum::win32
