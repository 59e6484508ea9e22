#include "startup/win32/pdf_viewer_win32.h"

#include <windows.h>
#include <shellapi.h>

#include "toolkit/win32/strings.h"
#include "toolkit/win32/system_error.h"

namespace vellum::win32 {

std::string PdfViewer::Open(const std::string& path) {
    const std::wstring file = Widen(path);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // NOASYNC: the process ends right after, which must not cut the start short. NO_UI: the
    // caller words a failure itself, in one message.
    info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"open";
    info.lpFile = file.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (ShellExecuteExW(&info)) return {};
    const DWORD error = GetLastError();
    return DescribeSystemError(error, {path});
}

}  // namespace vellum::win32
