#pragma once

// The controls a window's handlers touch, narrow enough to fake in a few lines. The Win32
// binding wraps real child windows; tests use the fakes in tests/fakes.

#include <cstdint>
#include <functional>
#include <string>

namespace vellum::toolkit {

// Every control has a window handle (its "hwnd" property). A form may be loaded, and its
// handlers run, before its windows are made: a control keeps what is set on it until then.
class Control {
public:
    virtual ~Control() = default;
    // 0 while the control's window is not made yet (and off Windows).
    virtual std::uintptr_t Hwnd() const = 0;
    // Runs `action` on the control's window handle: now when the window exists, otherwise as
    // soon as it is made, in the order asked. What `action` refers to must live until then.
    virtual void WhenCreated(std::function<void(std::uintptr_t hwnd)> action) = 0;
};

class CommandButton : public Control {};

class Label : public Control {};

class Frame : public Control {};

class TextBox : public Control {
public:
    virtual std::string Text() const = 0;
    virtual void SetText(const std::string& text) = 0;
    // Selection in characters. Throws RuntimeError when the box cannot take the focus.
    virtual void SetSelStart(int start) = 0;
    virtual void SetSelLength(int length) = 0;
    virtual void SetFocus() = 0;
};

class CheckBox : public Control {
public:
    virtual int Value() const = 0;  // 0 unchecked, 1 checked
    virtual void SetValue(int value) = 0;
};

class ComboBox : public Control {
public:
    virtual void Clear() = 0;
    virtual void AddItem(const std::string& item) = 0;
    virtual std::string Text() const = 0;
    // Selects the entry of that name when there is one; shows the text either way.
    virtual void SetText(const std::string& text) = 0;
};

class TabControl : public Control {
public:
    virtual int Tab() const = 0;
    virtual void SetTab(int index) = 0;
};

}  // namespace vellum::toolkit
