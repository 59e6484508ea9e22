#pragma once

// The toolkit's controls over real child windows. A wrapper keeps its state until the form
// creates its window and attaches it, and then hands that state over: a form can then be
// loaded, and its handlers run, without building any window at all. (The configuration window
// is loaded hidden for its Save As dialog alone; building its thirty child windows was most of
// the program's own start-up time.) A wrapper never owns its window: the form's window does.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/controls.h"

namespace vellum::win32 {

// What every wrapper shares: the window once there is one, and what was asked of the window
// before it existed.
class DeferredWindow {
public:
    virtual ~DeferredWindow() = default;
    HWND Handle() const { return hwnd_; }
    bool Created() const { return hwnd_ != nullptr; }

    // Extended style bits asked for before the window exists; added to its own on attach.
    LONG PendingExStyle() const { return pendingExStyle_; }
    void SetPendingExStyle(LONG style) { pendingExStyle_ = style; }
    // Runs `action` on the window now, or as soon as it is attached.
    void WhenCreated(std::function<void(HWND)> action);

    // Takes the created window and hands it the state kept so far.
    void Attach(HWND hwnd);

protected:
    virtual void HandOver() {}
    HWND hwnd_ = nullptr;

private:
    LONG pendingExStyle_ = 0;
    std::vector<std::function<void(HWND)>> pending_;
};

template <class Base>
class Win32Control : public Base, public DeferredWindow {
public:
    std::uintptr_t Hwnd() const override { return reinterpret_cast<std::uintptr_t>(hwnd_); }
};

class Win32Button : public Win32Control<toolkit::CommandButton> {};
class Win32Label : public Win32Control<toolkit::Label> {};
class Win32Frame : public Win32Control<toolkit::Frame> {};
// A form itself, as its handlers see it: the owner of its dialogs.
class Win32FormControl : public Win32Control<toolkit::Control> {};

class Win32TextBox : public Win32Control<toolkit::TextBox> {
public:
    std::string Text() const override;
    void SetText(const std::string& text) override;
    void SetSelStart(int start) override;
    void SetSelLength(int length) override;
    // Before the box exists there is nothing to focus; the form focuses what it shows.
    void SetFocus() override;

private:
    void HandOver() override;
    std::string text_;
    int selStart_ = 0;
    int selLength_ = 0;
};

class Win32CheckBox : public Win32Control<toolkit::CheckBox> {
public:
    int Value() const override;
    void SetValue(int value) override;

private:
    void HandOver() override;
    int value_ = 0;
};

// A drop-down list: the user picks one of the entries.
class Win32ComboBox : public Win32Control<toolkit::ComboBox> {
public:
    void Clear() override;
    void AddItem(const std::string& item) override;
    std::string Text() const override;
    void SetText(const std::string& text) override;

private:
    void HandOver() override;
    std::vector<std::string> items_;
    std::optional<size_t> selected_;
};

// A tab control hosting one page window per tab; only the current tab's page is shown.
class Win32TabControl : public Win32Control<toolkit::TabControl> {
public:
    explicit Win32TabControl(std::vector<std::string> names) : names_(std::move(names)) {}
    const std::vector<std::string>& Names() const { return names_; }
    void AddPage(HWND page) { pages_.push_back(page); }
    int Tab() const override;
    void SetTab(int index) override;
    // After the user switched tabs: show the page of the current tab.
    void ShowCurrentPage();

private:
    void HandOver() override;
    std::vector<std::string> names_;
    std::vector<HWND> pages_;
    int tab_ = 0;
};

}  // namespace vellum::win32
