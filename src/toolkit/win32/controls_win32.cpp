#include "toolkit/win32/controls_win32.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

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

void DeferredWindow::WhenCreated(std::function<void(HWND)> action) {
    if (hwnd_ != nullptr)
        action(hwnd_);
    else
        pending_.push_back(std::move(action));
}

void DeferredWindow::Attach(HWND hwnd) {
    hwnd_ = hwnd;
    if (pendingExStyle_ != 0) {
        SetWindowLongA(hwnd, GWL_EXSTYLE, GetWindowLongA(hwnd, GWL_EXSTYLE) | pendingExStyle_);
        SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOOWNERZORDER);
    }
    HandOver();
    for (auto& action : std::exchange(pending_, {})) action(hwnd);
}

std::string Win32TextBox::Text() const {
    return hwnd_ ? WindowText(hwnd_) : text_;
}

void Win32TextBox::SetText(const std::string& text) {
    text_ = text;
    if (hwnd_) SetWindowTextW(hwnd_, Widen(text).c_str());
}

void Win32TextBox::SetSelStart(int start) {
    if (start < 0) InvalidCall();
    selStart_ = start;
    selLength_ = 0;
    if (hwnd_) SendMessageW(hwnd_, EM_SETSEL, static_cast<WPARAM>(start), start);
}

void Win32TextBox::SetSelLength(int length) {
    if (length < 0) InvalidCall();
    if (hwnd_) {
        DWORD start = 0;
        SendMessageW(hwnd_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
        SendMessageW(hwnd_, EM_SETSEL, start, static_cast<LPARAM>(start + length));
    }
    selLength_ = length;
}

void Win32TextBox::SetFocus() {
    if (!hwnd_) return;
    if (!IsWindowEnabled(hwnd_)) InvalidCall();
    ::SetFocus(hwnd_);
}

void Win32TextBox::HandOver() {
    SetWindowTextW(hwnd_, Widen(text_).c_str());
    SendMessageW(hwnd_, EM_SETSEL, static_cast<WPARAM>(selStart_), selStart_ + selLength_);
}

int Win32CheckBox::Value() const {
    if (!hwnd_) return value_;
    return SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void Win32CheckBox::SetValue(int value) {
    value_ = value == 1 ? 1 : 0;
    if (hwnd_) SendMessageW(hwnd_, BM_SETCHECK, value_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Win32CheckBox::HandOver() {
    SetValue(value_);
}

void Win32ComboBox::Clear() {
    items_.clear();
    selected_.reset();
    if (hwnd_) SendMessageW(hwnd_, CB_RESETCONTENT, 0, 0);
}

void Win32ComboBox::AddItem(const std::string& item) {
    if (hwnd_)
        SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
    else
        items_.push_back(item);
}

std::string Win32ComboBox::Text() const {
    if (!hwnd_) return selected_ ? items_[*selected_] : std::string();
    const LRESULT index = SendMessageW(hwnd_, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return {};
    const LRESULT length = SendMessageW(hwnd_, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR) return {};
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    SendMessageW(hwnd_, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(buffer.data()));
    return Narrow(buffer.data(), static_cast<size_t>(length));
}

void Win32ComboBox::SetText(const std::string& text) {
    // A stored port that no longer exists leaves the list without a selection.
    if (!hwnd_) {
        const auto it = std::find(items_.begin(), items_.end(), text);
        selected_.reset();
        if (it != items_.end()) selected_ = static_cast<size_t>(it - items_.begin());
        return;
    }
    const LRESULT index = SendMessageW(hwnd_, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(Widen(text).c_str()));
    SendMessageW(hwnd_, CB_SETCURSEL, index == CB_ERR ? static_cast<WPARAM>(-1) : index, 0);
}

void Win32ComboBox::HandOver() {
    // A machine may have a thousand ports: one allocation and one repaint for all of them.
    size_t characters = 0;
    for (const std::string& item : items_) characters += item.size() + 1;
    SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
    SendMessageW(hwnd_, CB_INITSTORAGE, items_.size(), characters * sizeof(wchar_t));
    for (const std::string& item : items_)
        SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
    SendMessageW(hwnd_, CB_SETCURSEL,
                 selected_ ? static_cast<WPARAM>(*selected_) : static_cast<WPARAM>(-1), 0);
    SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
    items_.clear();
    selected_.reset();
}

int Win32TabControl::Tab() const {
    return hwnd_ ? static_cast<int>(SendMessageW(hwnd_, TCM_GETCURSEL, 0, 0)) : tab_;
}

void Win32TabControl::SetTab(int index) {
    if (index < 0 || index >= static_cast<int>(names_.size())) InvalidCall();
    tab_ = index;
    if (!hwnd_) return;
    SendMessageW(hwnd_, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    ShowCurrentPage();
}

void Win32TabControl::ShowCurrentPage() {
    const int current = Tab();
    for (int i = 0; i < static_cast<int>(pages_.size()); ++i)
        ShowWindow(pages_[static_cast<size_t>(i)], i == current ? SW_SHOWNA : SW_HIDE);
}

void Win32TabControl::HandOver() {
    for (size_t i = 0; i < names_.size(); ++i) {
        std::wstring name = Widen(names_[i]);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = name.data();
        SendMessageW(hwnd_, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
    SendMessageW(hwnd_, TCM_SETCURSEL, static_cast<WPARAM>(tab_), 0);
}

}  // namespace vellum::win32
