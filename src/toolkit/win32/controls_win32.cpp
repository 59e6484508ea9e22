#include "toolkit/win32/controls_win32.h"

#include <commctrl.h>

#include <algorithm>

#include "toolkit/runtime_error.h"
#include "toolkit/win32/strings.h"
#include "toolkit/win32/window.h"

namespace vellum::win32 {

namespace {

// What the platform raises when a property is given a value it cannot take.
[[noreturn]] void InvalidCall() {
    throw toolkit::VellumError(5, "Invalid procedure call or argument");
}

}  // namespace

std::string TextBox::Text() const {
    return Current(text_, [](HWND hwnd) { return WindowText(hwnd); });
}

void TextBox::SetText(const std::string& text) {
    text_ = text;
    Apply([wide = Widen(text)](HWND hwnd) { SetWindowTextW(hwnd, wide.c_str()); });
}

void TextBox::SetSelStart(int start) {
    if (start < 0) InvalidCall();
    Apply([start](HWND hwnd) { SendMessageW(hwnd, EM_SETSEL, static_cast<WPARAM>(start), start); });
}

void TextBox::SetSelLength(int length) {
    if (length < 0) InvalidCall();
    Apply([length](HWND hwnd) {
        DWORD start = 0;
        SendMessageW(hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
        SendMessageW(hwnd, EM_SETSEL, start, static_cast<LPARAM>(start + length));
    });
}

void TextBox::SetFocus() {
    if (hwnd_ == nullptr) return;
    if (!IsWindowEnabled(hwnd_)) InvalidCall();
    ::SetFocus(hwnd_);
}

int CheckBox::Value() const {
    return Current(value_, [](HWND hwnd) {
        return SendMessageW(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    });
}

void CheckBox::SetValue(int value) {
    value_ = value == 1 ? 1 : 0;
    Apply([checked = value_ == 1](HWND hwnd) {
        SendMessageW(hwnd, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    });
}

void ComboBox::Clear() {
    items_.clear();
    selected_.reset();
    Apply([](HWND hwnd) { SendMessageW(hwnd, CB_RESETCONTENT, 0, 0); });
}

void ComboBox::AddItem(const std::string& item) {
    items_.push_back(item);
    Apply([wide = Widen(item)](HWND hwnd) {
        SendMessageW(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    });
}

std::string ComboBox::Text() const {
    return Current(selected_ ? items_[*selected_] : std::string(), [](HWND hwnd) {
        const LRESULT index = SendMessageW(hwnd, CB_GETCURSEL, 0, 0);
        if (index == CB_ERR) return std::string();
        const LRESULT length = SendMessageW(hwnd, CB_GETLBTEXTLEN, index, 0);
        if (length == CB_ERR) return std::string();
        std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
        SendMessageW(hwnd, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(buffer.data()));
        return Narrow(buffer.data(), static_cast<size_t>(length));
    });
}

void ComboBox::SetText(const std::string& text) {
    // A stored port that no longer exists leaves the list without a selection.
    const auto it = std::find(items_.begin(), items_.end(), text);
    selected_.reset();
    if (it != items_.end()) selected_ = static_cast<size_t>(it - items_.begin());
    Apply([wide = Widen(text)](HWND hwnd) {
        const LRESULT index = SendMessageW(hwnd, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(wide.c_str()));
        SendMessageW(hwnd, CB_SETCURSEL, index == CB_ERR ? static_cast<WPARAM>(-1) : index, 0);
    });
}

void ComboBox::BeforePending() {
    size_t characters = 0;
    for (const std::string& item : items_) characters += item.size() + 1;
    SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
    SendMessageW(hwnd_, CB_INITSTORAGE, items_.size(), characters * sizeof(wchar_t));
}

void ComboBox::AfterPending() {
    SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
}

TabControl::TabControl(const std::vector<std::string>& names)
    : count_(static_cast<int>(names.size())) {
    for (size_t i = 0; i < names.size(); ++i) {
        Apply([i, name = Widen(names[i])](HWND hwnd) mutable {
            TCITEMW item{};
            item.mask = TCIF_TEXT;
            item.pszText = name.data();
            SendMessageW(hwnd, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
        });
    }
}

int TabControl::Tab() const {
    return Current(
        tab_, [](HWND hwnd) { return static_cast<int>(SendMessageW(hwnd, TCM_GETCURSEL, 0, 0)); });
}

void TabControl::SetTab(int index) {
    if (index < 0 || index >= count_) InvalidCall();
    tab_ = index;
    Apply([this, index](HWND hwnd) {
        SendMessageW(hwnd, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
        ShowCurrentPage();
    });
}

void TabControl::ShowCurrentPage() {
    const int current = Tab();
    for (size_t i = 0; i < pages_.size(); ++i)
        ShowWindow(pages_[i], static_cast<int>(i) == current ? SW_SHOWNA : SW_HIDE);
}

}  // namespace vellum::win32
