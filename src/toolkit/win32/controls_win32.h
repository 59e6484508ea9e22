#pragma once

// The toolkit's controls over real child windows. Each wrapper is attached to its window once
// the form has created it; it never owns the window (the form's window does).

#include <windows.h>

#include <vector>

#include "toolkit/controls.h"

namespace vellum::win32 {

template <class Base>
class Win32Control : public Base {
public:
    void Attach(HWND hwnd) { hwnd_ = hwnd; }
    HWND Handle() const { return hwnd_; }
    std::uintptr_t Hwnd() const override { return reinterpret_cast<std::uintptr_t>(hwnd_); }

protected:
    HWND hwnd_ = nullptr;
};

class Win32Button : public Win32Control<toolkit::CommandButton> {};
class Win32Label : public Win32Control<toolkit::Label> {};
class Win32Frame : public Win32Control<toolkit::Frame> {};

class Win32TextBox : public Win32Control<toolkit::TextBox> {
public:
    std::string Text() const override;
    void SetText(const std::string& text) override;
    void SetSelStart(int start) override;
    void SetSelLength(int length) override;
    void SetFocus() override;
};

class Win32CheckBox : public Win32Control<toolkit::CheckBox> {
public:
    int Value() const override;
    void SetValue(int value) override;
};

// A drop-down list: the user picks one of the entries.
class Win32ComboBox : public Win32Control<toolkit::ComboBox> {
public:
    void Clear() override;
    void AddItem(const std::string& item) override;
    std::string Text() const override;
    void SetText(const std::string& text) override;
};

// A tab control hosting one page window per tab; only the current tab's page is shown.
class Win32TabControl : public Win32Control<toolkit::TabControl> {
public:
    void AddPage(HWND page) { pages_.push_back(page); }
    int Tab() const override;
    void SetTab(int index) override;
    // After the user switched tabs: show the page of the current tab.
    void ShowCurrentPage();

private:
    std::vector<HWND> pages_;
};

}  // namespace vellum::win32
