#pragma once

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/common_dialog.h"
#include "toolkit/controls.h"
#include "toolkit/runtime_error.h"

namespace vellum {

// Controls with their state in plain members, and a handle each so that helpers that work
// on window handles can tell them apart.
class FakeControl {
public:
    static std::uintptr_t NextHandle() {
        static std::uintptr_t next = 0x1000;
        return next += 4;
    }
};

class FakeButton : public toolkit::CommandButton {
public:
    std::uintptr_t Hwnd() const override { return hwnd; }
    std::uintptr_t hwnd = FakeControl::NextHandle();
};

class FakeLabel : public toolkit::Label {
public:
    std::uintptr_t Hwnd() const override { return hwnd; }
    std::uintptr_t hwnd = FakeControl::NextHandle();
};

class FakeTextBox : public toolkit::TextBox {
public:
    std::uintptr_t Hwnd() const override { return hwnd; }
    std::string Text() const override { return text; }
    void SetText(const std::string& value) override { text = value; }
    void SetSelStart(int start) override { selStart = start; }
    void SetSelLength(int length) override { selLength = length; }
    void SetFocus() override {
        if (!canFocus)
            throw toolkit::RuntimeError(5, "Vellum", "Invalid procedure call or argument");
        focused = true;
    }

    std::uintptr_t hwnd = FakeControl::NextHandle();
    std::string text;
    int selStart = -1;
    int selLength = -1;
    bool focused = false;
    bool canFocus = true;
};

class FakeCheckBox : public toolkit::CheckBox {
public:
    std::uintptr_t Hwnd() const override { return hwnd; }
    int Value() const override { return value; }
    void SetValue(int v) override { value = v; }
    std::uintptr_t hwnd = FakeControl::NextHandle();
    int value = 0;
};

class FakeComboBox : public toolkit::ComboBox {
public:
    std::uintptr_t Hwnd() const override { return hwnd; }
    void Clear() override {
        items.clear();
        selected.reset();
        ++clears;
    }
    void AddItem(const std::string& item) override { items.push_back(item); }
    std::string Text() const override { return selected ? items[*selected] : ""; }
    void SetText(const std::string& text) override {
        auto it = std::find(items.begin(), items.end(), text);
        if (it == items.end())
            selected.reset();
        else
            selected = static_cast<size_t>(it - items.begin());
        ++setTextCalls;
    }

    std::uintptr_t hwnd = FakeControl::NextHandle();
    std::vector<std::string> items;
    std::optional<size_t> selected;
    int clears = 0;
    int setTextCalls = 0;
};

class FakeTabControl : public toolkit::TabControl {
public:
    std::uintptr_t Hwnd() const override { return hwnd; }
    int Tab() const override { return tab; }
    void SetTab(int index) override { tab = index; }
    std::uintptr_t hwnd = FakeControl::NextHandle();
    int tab = -1;
};

// Answers each Save As or Open with the next scripted answer (nothing: cancelled).
class FakeFileDialogs : public toolkit::FileDialogs {
public:
    std::optional<std::string> ShowSave(const toolkit::FileDialogRequest& request) override {
        return Answer("save", request);
    }
    std::optional<std::string> ShowOpen(const toolkit::FileDialogRequest& request) override {
        return Answer("open", request);
    }

    std::vector<std::optional<std::string>> answers;
    std::vector<std::pair<std::string, toolkit::FileDialogRequest>> shown;
    bool fail = false;

private:
    std::optional<std::string> Answer(const char* kind, const toolkit::FileDialogRequest& request) {
        shown.emplace_back(kind, request);
        if (fail) throw toolkit::RuntimeError(20477, "CommonDialog", "The file dialog failed.");
        if (answers.empty()) return std::nullopt;
        std::optional<std::string> answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
};

}  // namespace vellum
