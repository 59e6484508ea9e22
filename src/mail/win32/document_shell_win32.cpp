#include "mail/win32/document_shell_win32.h"

#include <windows.h>
#include <shellapi.h>

namespace vellum::win32 {

void DocumentShell::Open(const std::string& path) {
    // With no associated program, or one that cannot start, nothing is shown: the result is
    // deliberately not looked at.
    ShellExecuteA(nullptr, nullptr, path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace vellum::win32
