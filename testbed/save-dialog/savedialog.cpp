// savedialog.exe: opens the standard Save As dialog the way Vellum's prompt does and nothing
// else, as the floor that the prompt's own start-up time is measured against.
//
//   savedialog.exe [initial folder]
// Prints the chosen path (UTF-8, LF) on standard output and exits 0; exits 1 on Cancel and 2
// when the dialog fails.

#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>

#include <iterator>
#include <string>

#include "toolkit/win32/strings.h"

namespace {

void Write(DWORD stdHandle, const std::string& text) {
    const HANDLE handle = GetStdHandle(stdHandle);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

std::wstring InitialFolder() {
    int count = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!argv) return {};
    std::wstring folder = count > 1 ? argv[1] : L"";
    LocalFree(argv);
    return folder;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // "Adobe PDF Files (*.pdf)|*.pdf|All Files (*.*)|*.*" as the dialog wants it.
    static const wchar_t kFilter[] = L"Adobe PDF Files (*.pdf)\0*.pdf\0All Files (*.*)\0*.*\0";
    const std::wstring folder = InitialFolder();
    wchar_t file[32768] = L"";

    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFilter = kFilter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = static_cast<DWORD>(std::size(file));
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.lpstrDefExt = L"pdf";
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_EXPLORER;
    if (GetSaveFileNameW(&ofn)) {
        Write(STD_OUTPUT_HANDLE, vellum::win32::Narrow(std::wstring(file)) + "\n");
        return 0;
    }
    const DWORD error = CommDlgExtendedError();
    if (error == 0) return 1;
    Write(STD_ERROR_HANDLE, "savedialog: the Save As dialog failed (CommDlgExtendedError " +
                                std::to_string(error) + ")\n");
    return 2;
}
