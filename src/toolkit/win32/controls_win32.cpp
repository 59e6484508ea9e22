#include "toolkit/win32/controls_win32.h"

#include <commctrl.h>

#include <vector>

#include "toolkit/runtime_error.h"
#include "toolkit/win32/strings.h"
#include "toolkit/win32/window.h"

namespace vellum::win32 {

namespace {

// What the platform raises when a property is given a value it cannot take.
[[noreturn]] void InvalidCall() {
    throw toolkit::RuntimeError(5, toolkit::kVellumSource, "Invalid procedure call or argument");
}

}  // namespace

std::string Win32TextBox::Text() const { return WindowText(hwnd_); }

void Win32TextBox::SetText(const std::string& text) {
    SetWindowTextW(hwnd_, Widen(text).c_str());
}

void Win32TextBox::SetSelStart(int start) {
    if (start < 0) InvalidCall();
    SendMessageW(hwnd_, EM_SETSEL, static_cast<WPARAM>(start), start);
}

void Win32TextBox::SetSelLength(int length) {
    if (length < 0) InvalidCall();
    DWORD start = 0;
    SendMessageW(hwnd_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    SendMessageW(hwnd_, EM_SETSEL, start, static_cast<LPARAM>(start + length));
}

void Win32TextBox::SetFocus() {
    if (!IsWindowEnabled(hwnd_)) InvalidCall();
    ::SetFocus(hwnd_);
}

int Win32CheckBox::Value() const {
    return SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void Win32CheckBox::SetValue(int value) {
    SendMessageW(hwnd_, BM_SETCHECK, value == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Win32ComboBox::Clear() { SendMessageW(hwnd_, CB_RESETCONTENT, 0, 0); }

void Win32ComboBox::AddItem(const std::string& item) {
    SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
}

std::string Win32ComboBox::Text() const {
    const LRESULT index = SendMessageW(hwnd_, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return {};
    const LRESULT length = SendMessageW(hwnd_, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR) return {};
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    SendMessageW(hwnd_, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(buffer.data()));
    return Narrow(buffer.data(), static_cast<size_t>(length));
}

void Win32ComboBox::SetText(const std::string& text) {
    const LRESULT index = SendMessageW(hwnd_, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(Widen(text).c_str()));
    // A stored port that no longer exists leaves the list without a selection.
    SendMessageW(hwnd_, CB_SETCURSEL, index == CB_ERR ? static_cast<WPARAM>(-1) : index, 0);
}

int Win32TabControl::Tab() const {
    return static_cast<int>(SendMessageW(hwnd_, TCM_GETCURSEL, 0, 0));
}

void Win32TabControl::SetTab(int index) {
    if (index < 0 || index >= static_cast<int>(pages_.size())) InvalidCall();
    SendMessageW(hwnd_, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    ShowCurrentPage();
}

void Win32TabControl::ShowCurrentPage() {
    const int current = Tab();
    for (int i = 0; i < static_cast<int>(pages_.size()); ++i)
        ShowWindow(pages_[static_cast<size_t>(i)], i == current ? SW_SHOWNA : SW_HIDE);
}

}  // namespace vellum::win32
