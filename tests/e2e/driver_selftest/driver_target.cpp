// A small window with one control of each kind the driver operates. Not the product: the driver's
// self-test runs it to prove the driver before the end-to-end tests rely on it.
//
// Usage: driver_target.exe <result file> [<initial folder of the file dialogs>]
// The file dialogs write "save:<path>", "open:<path>" or "cancel" to the result file.

#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

#include "driver_selftest/target_ids.h"
#include "toolkit/win32/strings.h"

namespace {

using namespace vellum::e2e::target;
using vellum::win32::Narrow;
using vellum::win32::Widen;

std::wstring g_resultFile;
std::wstring g_initialDir;
HWND g_pages[3];

void WriteResult(const std::string& text) {
    FILE* file = _wfopen(g_resultFile.c_str(), L"wb");
    if (!file) return;
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
}

void SetStatus(HWND window, const std::string& text) {
    SetDlgItemTextW(window, kStatus, Widen(text).c_str());
}

HWND Child(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w,
           int h, int id) {
    return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleW(nullptr), nullptr);
}

void ShowPage(int index) {
    for (int i = 0; i < 3; ++i) ShowWindow(g_pages[i], i == index ? SW_SHOW : SW_HIDE);
}

void Create(HWND window) {
    Child(window, L"Edit", L"", WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, kEditLeft, kEditTop,
          kEditWidth, kEditHeight, kEdit);
    Child(window, L"Button", L"Error", BS_PUSHBUTTON, 220, 10, 80, 24, kErrorButton);
    Child(window, L"Button", L"Info", BS_PUSHBUTTON, 310, 10, 80, 24, kInfoButton);
    Child(window, L"Button", L"Check", BS_AUTOCHECKBOX, 10, 40, 100, 20, kCheck);

    HWND combo =
        Child(window, L"ComboBox", L"", CBS_DROPDOWNLIST | WS_VSCROLL, 120, 40, 120, 120, kCombo);
    for (const wchar_t* item : {L"Alpha", L"Beta", L"Gamma"}) {
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    }
    SendMessageW(combo, CB_SETCURSEL, 0, 0);

    HWND tabs = Child(window, L"SysTabControl32", L"", WS_CLIPSIBLINGS, 10, 70, 300, 110, kTabs);
    const wchar_t* names[] = {L"First", L"Second", L"Third"};
    for (int i = 0; i < 3; ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(names[i]);
        SendMessageW(tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
        // Pages are siblings of the tab control inside the main window, each holding its edit.
        g_pages[i] = Child(window, L"Static", L"", 0, 20, 100, 280, 70, 300 + i);
        Child(g_pages[i], L"Edit", names[i], WS_BORDER, 10, 10, 150, 22, kPageEditFirst + i);
    }
    ShowPage(0);

    HWND list =
        Child(window, L"ListBox", L"", WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_EXTENDEDSEL, 320,
              70, 120, 110, kList);
    for (const wchar_t* item : {L"one", L"two", L"three", L"four", L"five"}) {
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    }

    Child(window, L"Button", L"Save...", BS_PUSHBUTTON, 10, 190, 80, 24, kSaveButton);
    Child(window, L"Button", L"Open...", BS_PUSHBUTTON, 100, 190, 80, 24, kOpenButton);
    Child(window, L"Static", L"", 0, 10, 225, 430, 20, kStatus);
}

void SaveAs(HWND window) {
    wchar_t file[MAX_PATH] = L"";
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = window;
    ofn.lpstrFilter = L"PDF Files (*.pdf)\0*.pdf\0All Files (*.*)\0*.*\0";
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = g_initialDir.empty() ? nullptr : g_initialDir.c_str();
    ofn.lpstrDefExt = L"pdf";
    ofn.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    WriteResult(GetSaveFileNameW(&ofn) ? "save:" + Narrow(file) : "cancel");
}

// The A entry point on purpose: the driver must read dialogs opened either way.
void Open(HWND window) {
    char file[MAX_PATH] = "";
    const std::string initialDir = Narrow(g_initialDir);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = window;
    ofn.lpstrFilter = "Text Files (*.txt)\0*.txt\0All Files (*.*)\0*.*\0";
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = initialDir.empty() ? nullptr : initialDir.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    WriteResult(GetOpenFileNameA(&ofn) ? "open:" + std::string(file) : "cancel");
}

std::string ListSelection(HWND list) {
    std::string text;
    const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        if (SendMessageW(list, LB_GETSEL, i, 0) > 0) {
            if (!text.empty()) text += ',';
            text += std::to_string(i);
        }
    }
    return text;
}

void Command(HWND window, int id, int code, HWND control) {
    switch (id) {
        case kErrorButton:
            MessageBoxW(window, Widen(kErrorText).c_str(), Widen(kErrorTitle).c_str(),
                        MB_OK | MB_ICONERROR);
            SetStatus(window, "error:closed");
            break;
        case kInfoButton:
            MessageBoxW(window, Widen(kInfoText).c_str(), Widen(kInfoTitle).c_str(),
                        MB_OK | MB_ICONINFORMATION);
            SetStatus(window, "info:closed");
            break;
        case kCheck:
            if (code == BN_CLICKED) {
                SetStatus(window,
                          "check:" + std::to_string(SendMessageW(control, BM_GETCHECK, 0, 0)));
            }
            break;
        case kCombo:
            if (code == CBN_SELCHANGE) {
                wchar_t text[64] = L"";
                const auto index = SendMessageW(control, CB_GETCURSEL, 0, 0);
                SendMessageW(control, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
                SetStatus(window, "combo:" + Narrow(text));
            }
            break;
        case kList:
            if (code == LBN_SELCHANGE) SetStatus(window, "list:" + ListSelection(control));
            if (code == LBN_DBLCLK) SetStatus(window, "dblclk:" + ListSelection(control));
            break;
        case kSaveButton:
            SaveAs(window);
            break;
        case kOpenButton:
            Open(window);
            break;
    }
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            Create(window);
            return 0;
        case WM_COMMAND:
            Command(window, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->idFrom == kTabs && header->code == TCN_SELCHANGE) {
                const int index =
                    static_cast<int>(SendMessageW(header->hwndFrom, TCM_GETCURSEL, 0, 0));
                ShowPage(index);
                SetStatus(window, "tab:" + std::to_string(index));
            }
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc < 2) return 2;
    g_resultFile = argv[1];
    if (argc > 2) g_initialDir = argv[2];
    LocalFree(argv);

    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);

    WNDCLASSW wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"VellumDriverTarget";
    RegisterClassW(&wc);
    // Titled only once the hidden helper below is in place, so that a driver that finds the
    // title always meets the helper too.
    HWND window = CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPEDWINDOW, 50, 50, 470, 290,
                                  nullptr, nullptr, instance, nullptr);
    if (!window) return 3;
    ShowWindow(window, show);
    SetFocus(GetDlgItem(window, kEdit));
    // A hidden top-level window in front of the main one in z-order, as COM's helper window
    // ("OleMainThreadWndClass") is in a program that starts COM late: the driver must pass it by.
    WNDCLASSW helper{};
    helper.lpfnWndProc = DefWindowProcW;
    helper.hInstance = instance;
    helper.lpszClassName = L"DriverTargetHelper";
    RegisterClassW(&helper);
    HWND hidden = CreateWindowExW(0, helper.lpszClassName, L"Hidden Helper", WS_OVERLAPPED, 0, 0,
                                  10, 10, nullptr, nullptr, instance, nullptr);
    if (!hidden) return 3;
    SetWindowPos(hidden, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowTextW(window, Widen(kTitle).c_str());

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(window, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
