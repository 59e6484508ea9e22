#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "toolkit/common_dialog.h"
#include "toolkit/controls.h"
#include "toolkit/runtime_error.h"

namespace vellum {

// What every fake control shares: a handle of its own, so that helpers working on handles can
// tell the controls apart, and a window that exists from the start unless a test says
// otherwise (`created` false: what is asked of the window waits for Create()).
inline std::uintptr_t NextFakeHandle() {
    static std::uintptr_t next = 0x1000;
    return next += 4;
}

template <class Base>
class FakeControl : public Base {
public:
    std::uintptr_t Hwnd() const override { return created ? hwnd : 0; }
    void WhenCreated(std::function<void(std::uintptr_t)> action) override {
        if (created)
            action(hwnd);
        else
            pending.push_back(std::move(action));
    }
    void Create() {
        created = true;
        for (auto& action : std::exchange(pending, {})) action(hwnd);
    }

    std::uintptr_t hwnd = NextFakeHandle();
    bool created = true;
    std::vector<std::function<void(std::uintptr_t)>> pending;
};

class FakeButton : public FakeControl<toolkit::CommandButton> {};

class FakeLabel : public FakeControl<toolkit::Label> {};

class FakeTextBox : public FakeControl<toolkit::TextBox> {
public:
    std::string Text() const override { return text; }
    void SetText(const std::string& value) override { text = value; }
    void SetSelStart(int start) override { selStart = start; }
    void SetSelLength(int length) override { selLength = length; }
    void SetFocus() override {
        if (!canFocus)
            throw toolkit::RuntimeError(5, "Vellum", "Invalid procedure call or argument");
        focused = true;
    }

    std::string text;
    int selStart = -1;
    int selLength = -1;
    bool focused = false;
    bool canFocus = true;
};

class FakeCheckBox : public FakeControl<toolkit::CheckBox> {
public:
    int Value() const override { return value; }
    void SetValue(int v) override { value = v; }
    int value = 0;
};

class FakeComboBox : public FakeControl<toolkit::ComboBox> {
public:
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

    std::vector<std::string> items;
    std::optional<size_t> selected;
    int clears = 0;
    int setTextCalls = 0;
};

class FakeTabControl : public FakeControl<toolkit::TabControl> {
public:
    int Tab() const override { return tab; }
    void SetTab(int index) override { tab = index; }
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
