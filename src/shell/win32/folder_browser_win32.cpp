#include "shell/win32/folder_browser_win32.h"

#include <windows.h>
#include <shlobj.h>

namespace vellum::win32 {

std::string browseInitialPath;

namespace {

int CALLBACK BrowseCallback(HWND hwnd, UINT uMsg, LPARAM lParam, LPARAM /*lpData*/) {
    // Nothing here may stop the dialog: each step goes on whatever the one before did.
    try {
        if (uMsg == BFFM_INITIALIZED) {
            SendMessageA(hwnd, BFFM_SETSELECTIONA, TRUE,
                         reinterpret_cast<LPARAM>(browseInitialPath.c_str()));
        } else if (uMsg == BFFM_SELCHANGED) {
            char buffer[MAX_PATH];
            std::fill(std::begin(buffer), std::end(buffer), ' ');
            if (SHGetPathFromIDListA(reinterpret_cast<PCIDLIST_ABSOLUTE>(lParam), buffer) == TRUE)
                SendMessageA(hwnd, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(buffer));
        }
    } catch (...) {
    }
    return 0;
}

}  // namespace

std::string FolderBrowser::BrowseForFolder(std::uintptr_t owner, const std::string& title,
                                           const std::string& initialPath) {
    browseInitialPath = initialPath + std::string(1, '\0');

    BROWSEINFOA info{};
    info.hwndOwner = reinterpret_cast<HWND>(owner);
    info.pidlRoot = nullptr;
    info.pszDisplayName = nullptr;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN | BIF_STATUSTEXT;
    info.lpfn = BrowseCallback;
    info.lParam = 0;

    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderA(&info);
    if (chosen == nullptr) return "";
    char buffer[MAX_PATH];
    std::fill(std::begin(buffer), std::end(buffer), ' ');
    const BOOL converted = SHGetPathFromIDListA(chosen, buffer);
    CoTaskMemFree(chosen);
    if (!converted) return "";  // the caller then keeps what its field held
    return std::string(buffer, strnlen(buffer, MAX_PATH));
}

}  // namespace vellum::win32
