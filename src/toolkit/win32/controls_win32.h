#pragma once

// The toolkit's controls over real child windows. A wrapper keeps what is set on it until the
// form creates its window and attaches it: a form can then be loaded, and its handlers run,
// without building any window at all. (The configuration window is loaded hidden for its Save
// As dialog alone; building its thirty child windows was most of the program's own start-up
// time.) Every property is written in one place, as an action on the window that runs at once
// or, before the window exists, when it is attached, in the order the properties were set. A
// property is read from the window once there is one (the user may have changed it), before
// that from what was set. A wrapper never owns its window: the form's window does.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "toolkit/controls.h"

namespace vellum::win32 {

template <class Base>
class Control : public Base {
public:
    std::uintptr_t Hwnd() const override { return reinterpret_cast<std::uintptr_t>(hwnd_); }
    HWND Handle() const { return hwnd_; }
    void WhenCreated(std::function<void(std::uintptr_t)> action) override {
        Apply([action = std::move(action)](HWND hwnd) {
            action(reinterpret_cast<std::uintptr_t>(hwnd));
        });
    }

    // Takes the created window and runs on it what was asked of it so far.
    void Attach(HWND hwnd) {
        hwnd_ = hwnd;
        BeforePending();
        for (auto& action : std::exchange(pending_, {})) action(hwnd);
        AfterPending();
    }

protected:
    // Runs `action` on the window now, or when it is attached.
    void Apply(std::function<void(HWND)> action) {
        if (hwnd_ != nullptr)
            action(hwnd_);
        else
            pending_.push_back(std::move(action));
    }
    // What was set, until the window exists; the window's own answer afterwards.
    template <class T, class Read>
    T Current(const T& kept, Read read) const {
        return hwnd_ != nullptr ? read(hwnd_) : kept;
    }
    // Around the actions kept for the attach, for a wrapper that can do them in bulk.
    virtual void BeforePending() {}
    virtual void AfterPending() {}

    HWND hwnd_ = nullptr;

private:
    std::vector<std::function<void(HWND)>> pending_;
};

class Button : public Control<toolkit::CommandButton> {};
class Label : public Control<toolkit::Label> {};
class Frame : public Control<toolkit::Frame> {};
// A form itself, as its handlers see it: the owner of its dialogs.
class FormControl : public Control<toolkit::Control> {};

class TextBox : public Control<toolkit::TextBox> {
public:
    std::string Text() const override;
    void SetText(const std::string& text) override;
    void SetSelStart(int start) override;
    void SetSelLength(int length) override;
    // Before the box exists there is nothing to focus; the form focuses what it shows.
    void SetFocus() override;

private:
    std::string text_;
};

class CheckBox : public Control<toolkit::CheckBox> {
public:
    int Value() const override;
    void SetValue(int value) override;

private:
    int value_ = 0;
};

// A drop-down list: the user picks one of the entries.
class ComboBox : public Control<toolkit::ComboBox> {
public:
    void Clear() override;
    void AddItem(const std::string& item) override;
    std::string Text() const override;
    void SetText(const std::string& text) override;

private:
    // A machine may have a thousand ports: one allocation and one repaint for all of them.
    void BeforePending() override;
    void AfterPending() override;
    std::vector<std::string> items_;
    std::optional<size_t> selected_;
};

// A tab control hosting one page window per tab; only the current tab's page is shown.
class TabControl : public Control<toolkit::TabControl> {
public:
    explicit TabControl(const std::vector<std::string>& names);
    void AddPage(HWND page) { pages_.push_back(page); }
    int Tab() const override;
    void SetTab(int index) override;
    // After the user switched tabs: show the page of the current tab.
    void ShowCurrentPage();

private:
    int count_;
    int tab_ = 0;
    std::vector<HWND> pages_;
};

}  // namespace vellum::win32
