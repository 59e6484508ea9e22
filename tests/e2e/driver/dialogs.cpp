#include "driver/dialogs.h"

#include <commdlg.h>
#include <dlgs.h>

#include <array>
#include <thread>

#include "driver/controls.h"
#include "driver/icon_match.h"
#include "driver/internal.h"
#include "driver/top_windows.h"
#include "toolkit/win32/strings.h"

namespace vellum::e2e {

using internal::Describe;

namespace {

using Clock = std::chrono::steady_clock;

// The message text of a message box: id 0xFFFF both in Windows and in Wine.
constexpr int kMessageTextId = 0xFFFF;

// Vellum's task dialogs number their buttons from 100; Wine draws a task dialog as a dialog of
// ordinary controls, its text a static control without an id of its own.
constexpr int kFirstTaskButtonId = 100;

HWND MessageText(HWND box) {
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetDlgCtrlID(child) & 0xFFFF) == kMessageTextId && ClassName(child) == "Static") {
            return child;
        }
    }
    if (!GetDlgItem(box, kFirstTaskButtonId)) return nullptr;
    HWND longest = nullptr;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassName(child) == "Static" && (!longest || Text(child).size() > Text(longest).size()))
            longest = child;
    }
    return longest;
}

bool IsMessageBox(HWND window) {
    return ClassName(window) == "#32770" && MessageText(window) != nullptr;
}

// The file name field: an edit inside the ComboBoxEx32 cmb13 in newer dialogs, edt1 in older.
HWND FileNameField(HWND dialog) {
    if (HWND combo = FindControl(dialog, cmb13)) {
        HWND edit = FindWindowExW(combo, nullptr, L"Edit", nullptr);
        if (!edit) {
            if (HWND inner = FindWindowExW(combo, nullptr, L"ComboBox", nullptr)) {
                edit = FindWindowExW(inner, nullptr, L"Edit", nullptr);
            }
        }
        return edit ? edit : combo;
    }
    return FindControl(dialog, edt1);
}

bool IsFileDialog(HWND window) {
    return ClassName(window) == "#32770" && FileNameField(window) != nullptr;
}

// Waits until `window` is destroyed: a modal dialog is destroyed once its loop has ended, so the
// program has moved on when this returns.
void AwaitDestroyed(HWND window, const std::string& what, std::chrono::milliseconds timeout) {
    const std::string description = Describe(window);
    const auto deadline = Clock::now() + timeout;
    while (IsWindow(window)) {
        if (Clock::now() >= deadline) {
            throw DriverError("timed out after " + std::to_string(timeout.count()) +
                              " ms waiting for " + what + " " + description + " to close");
        }
        std::this_thread::sleep_for(internal::kPollInterval);
    }
}

// A visible message box owned by `owner`, or nullptr.
HWND OwnedMessageBox(const Process& process, HWND owner) {
    for (const TopWindow& window : TopWindows(process)) {
        if (GetWindow(window.hwnd, GW_OWNER) == owner && IsMessageBox(window.hwnd)) {
            return window.hwnd;
        }
    }
    return nullptr;
}

void AnswerFileDialog(const Process& process, const std::string& fileNameOrPath,
                      std::chrono::milliseconds timeout) {
    const HWND dialog = WaitForFileDialog(process, timeout);
    const std::string title = Text(dialog);
    SubmitFileDialog(dialog, fileNameOrPath);
    // The dialog either closes or complains in a message box (name invalid, file exists...):
    // say which, rather than waiting out the time-out.
    WaitUntil(
        process, "the \"" + title + "\" dialog to close after \"" + fileNameOrPath + "\"",
        [&] {
            if (!IsWindow(dialog) || !IsWindowVisible(dialog)) return true;
            if (HWND box = OwnedMessageBox(process, dialog)) {
                const MessageBoxInfo info = ReadMessageBox(box);
                throw DriverError("the \"" + title + "\" dialog answered \"" + fileNameOrPath +
                                  "\" with the message box \"" + info.title + "\": " + info.text);
            }
            return false;
        },
        timeout);
}

}  // namespace

const char* IconName(Icon icon) {
    switch (icon) {
        case Icon::None:
            return "None";
        case Icon::Error:
            return "Error";
        case Icon::Information:
            return "Information";
        case Icon::Warning:
            return "Warning";
        case Icon::Question:
            return "Question";
    }
    return "?";
}

std::ostream& operator<<(std::ostream& out, Icon icon) {
    return out << IconName(icon);
}

MessageBoxInfo ReadMessageBox(HWND box) {
    const HWND text = MessageText(box);
    if (!text) throw DriverError(Describe(box) + " is not a message box");
    MessageBoxInfo info;
    info.hwnd = box;
    info.title = Text(box);
    info.text = Text(text);
    info.icon = internal::MessageBoxIcon(box);
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassName(child) == "Button" && IsWindowVisible(child)) {
            info.buttons.push_back(Text(child));
        }
    }
    return info;
}

std::optional<MessageBoxInfo> FindMessageBox(const Process& process) {
    for (const TopWindow& window : TopWindows(process)) {
        // A dialog closing while it is read (the question just answered) is none to find:
        // DestroyWindow hides it first, then its controls go before it does.
        try {
            if (IsMessageBox(window.hwnd)) return ReadMessageBox(window.hwnd);
        } catch (const DriverError&) {
            if (IsWindow(window.hwnd) && IsWindowVisible(window.hwnd)) throw;
        }
    }
    return std::nullopt;
}

MessageBoxInfo WaitForMessageBox(const Process& process, std::chrono::milliseconds timeout) {
    std::optional<MessageBoxInfo> box;
    WaitUntil(
        process, "a message box", [&] { return (box = FindMessageBox(process)).has_value(); },
        timeout);
    return *box;
}

DWORD WaitForSilentExit(const Process& process, std::chrono::milliseconds timeout) {
    WaitUntil(
        process, "the end of the process without a message",
        [&] {
            if (!process.Running()) return true;
            if (const auto box = FindMessageBox(process))
                throw DriverError("the process showed the message box \"" + box->title + "\" (" +
                                  IconName(box->icon) + "): " + box->text);
            return false;
        },
        timeout);
    return process.ExitCode();
}

void PressDialogButton(HWND dialog, int id) {
    const HWND button = GetDlgItem(dialog, id);
    if (!PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                      reinterpret_cast<LPARAM>(button))) {
        throw DriverError("cannot press button " + std::to_string(id) + " of " + Describe(dialog));
    }
}

void CloseMessageBox(HWND box) {
    const HWND ok = GetDlgItem(box, IDOK);
    if (!ok || !IsWindowVisible(ok)) {
        const MessageBoxInfo info = ReadMessageBox(box);
        std::string buttons;
        for (const auto& caption : info.buttons) buttons += " \"" + caption + "\"";
        throw DriverError("the message box \"" + info.title +
                          "\" has no OK button; its buttons:" + buttons);
    }
    PressDialogButton(box, IDOK);
    AwaitDestroyed(box, "the message box", kDefaultTimeout);
}

HWND WaitForFileDialog(const Process& process, std::chrono::milliseconds timeout) {
    HWND dialog = nullptr;
    WaitUntil(
        process, "a file dialog (Save As or Open)",
        [&] {
            for (const TopWindow& window : TopWindows(process)) {
                if (IsFileDialog(window.hwnd)) {
                    dialog = window.hwnd;
                    return true;
                }
            }
            return false;
        },
        timeout);
    return dialog;
}

void SubmitFileDialog(HWND dialog, const std::string& fileNameOrPath) {
    const HWND field = FileNameField(dialog);
    if (!field) throw DriverError(Describe(dialog) + " has no file name field");
    SetText(field, fileNameOrPath);
    PressDialogButton(dialog, IDOK);
}

void AnswerSaveAs(const Process& process, const std::string& fileNameOrPath,
                  std::chrono::milliseconds timeout) {
    AnswerFileDialog(process, fileNameOrPath, timeout);
}

void AnswerOpen(const Process& process, const std::string& fileNameOrPath,
                std::chrono::milliseconds timeout) {
    AnswerFileDialog(process, fileNameOrPath, timeout);
}

void CancelDialog(HWND dialog) {
    PressDialogButton(dialog, IDCANCEL);
    AwaitDestroyed(dialog, "the dialog", kDefaultTimeout);
}

std::string DialogFolder(HWND dialog) {
    constexpr size_t kBytes = 4 * MAX_PATH * sizeof(wchar_t);
    internal::RemoteBuffer remote(dialog, kBytes);
    const std::array<char, 2> empty{};
    remote.Write(empty.data(), empty.size());
    const LRESULT result = internal::Ask(dialog, CDM_GETFOLDERPATH, kBytes / sizeof(wchar_t),
                                         remote.Address(), "reading a dialog's folder");
    if (result < 0) throw DriverError(Describe(dialog) + " reports no current folder");
    std::array<char, kBytes> bytes{};
    remote.Read(bytes.data(), bytes.size());
    // A dialog opened through the A entry point answers in its process's code page, which the
    // driver shares (both declare UTF-8). A path's first character is ASCII, so a zero second
    // byte marks UTF-16.
    if (bytes[0] != 0 && bytes[1] == 0) {
        const auto* wide = reinterpret_cast<const wchar_t*>(bytes.data());
        return win32::Narrow(wide, wcsnlen(wide, kBytes / sizeof(wchar_t)));
    }
    return std::string(bytes.data(), strnlen(bytes.data(), bytes.size()));
}

std::string DialogFileName(HWND dialog) {
    const HWND field = FileNameField(dialog);
    if (!field) throw DriverError(Describe(dialog) + " has no file name field");
    return Text(field);
}

std::vector<std::string> DialogFileTypes(HWND dialog) {
    return ComboItems(Control(dialog, cmb1));
}

}  // namespace vellum::e2e
