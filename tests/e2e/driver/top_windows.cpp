#include "driver/top_windows.h"

#include <algorithm>
#include <thread>

#include "driver/controls.h"
#include "driver/internal.h"

namespace vellum::e2e {

namespace {

using Clock = std::chrono::steady_clock;

struct Found {
    TopWindow window;
    bool visible = false;
};

struct EnumState {
    DWORD processId;
    bool hiddenToo;
    std::vector<Found>* windows;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
    auto* state = reinterpret_cast<EnumState*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != state->processId) return TRUE;
    Found found;
    found.visible = IsWindowVisible(window) != FALSE;
    if (!found.visible && !state->hiddenToo) return TRUE;
    found.window.hwnd = window;
    found.window.className = ClassName(window);
    // Titles of top-level windows are short; a hung target must not stall every poll.
    found.window.title = internal::TextForDiagnostics(window, std::chrono::seconds(1));
    state->windows->push_back(std::move(found));
    return TRUE;
}

std::vector<Found> Enumerate(const Process& process, bool hiddenToo) {
    std::vector<Found> windows;
    EnumState state{process.Id(), hiddenToo, &windows};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&state));
    return windows;
}

std::string Milliseconds(std::chrono::milliseconds timeout) {
    return std::to_string(timeout.count()) + " ms";
}

// Polls `condition` until it holds; the failure names `what` and lists the process's windows.
void Await(const Process& process, const std::string& what, std::chrono::milliseconds timeout,
           const std::function<bool()>& condition) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        if (condition()) return;
        if (Clock::now() >= deadline) break;
        std::this_thread::sleep_for(internal::kPollInterval);
    }
    throw DriverError("timed out after " + Milliseconds(timeout) + " waiting for " + what + "\n" +
                      DescribeWindows(process));
}

HWND AwaitWindow(const Process& process, const std::string& what, std::chrono::milliseconds timeout,
                 const std::function<HWND()>& find) {
    HWND found = nullptr;
    Await(process, what, timeout, [&] { return (found = find()) != nullptr; });
    return found;
}

HWND FindVisible(const Process& process, const std::function<bool(const TopWindow&)>& match) {
    for (const TopWindow& window : TopWindows(process)) {
        if (match(window)) return window.hwnd;
    }
    return nullptr;
}

}  // namespace

std::vector<TopWindow> TopWindows(const Process& process) {
    std::vector<TopWindow> windows;
    for (Found& found : Enumerate(process, false)) windows.push_back(std::move(found.window));
    return windows;
}

std::string DescribeWindows(const Process& process) {
    std::string text =
        "process " + std::to_string(process.Id()) + " (" + process.CommandLine() + ") ";
    if (process.Running()) {
        text += "is running";
    } else {
        DWORD code = 0;
        GetExitCodeProcess(process.Handle(), &code);
        text += "has ended with exit code " + std::to_string(code) + " (" +
                internal::HexNumber(code) + ")";
    }
    const auto windows = Enumerate(process, true);
    if (windows.empty()) return text + " and has no top-level windows";
    text += "; its top-level windows:";
    for (const Found& found : windows) {
        const TopWindow& window = found.window;
        text += "\n  " + internal::HexNumber(reinterpret_cast<uintptr_t>(window.hwnd)) + " \"" +
                window.title + "\" (" + window.className + ")" + (found.visible ? "" : " hidden");
    }
    return text;
}

HWND WaitForWindow(const Process& process, const std::string& title,
                   std::chrono::milliseconds timeout) {
    return AwaitWindow(process, "a visible window titled \"" + title + "\"", timeout, [&] {
        return FindVisible(process, [&](const TopWindow& w) { return w.title == title; });
    });
}

HWND WaitForDialog(const Process& process, std::chrono::milliseconds timeout) {
    return AwaitWindow(process, "a visible dialog (#32770)", timeout, [&] {
        return FindVisible(process, [](const TopWindow& w) { return w.className == "#32770"; });
    });
}

HWND WaitForDialog(const Process& process, const std::string& title,
                   std::chrono::milliseconds timeout) {
    return AwaitWindow(process, "a visible dialog (#32770) titled \"" + title + "\"", timeout, [&] {
        return FindVisible(process, [&](const TopWindow& w) {
            return w.className == "#32770" && w.title == title;
        });
    });
}

void WaitForWindowGone(const Process& process, HWND window, const std::string& what,
                       std::chrono::milliseconds timeout) {
    Await(process, what + " " + internal::Describe(window) + " to close", timeout,
          [&] { return !IsWindow(window) || !IsWindowVisible(window); });
}

Process WaitForNewProcess(const Process& witness, const std::string& imageName,
                          const std::vector<DWORD>& known, std::chrono::milliseconds timeout) {
    DWORD found = 0;
    Await(witness, "a new " + imageName, timeout, [&] {
        for (DWORD id : ProcessesNamed(imageName))
            if (std::find(known.begin(), known.end(), id) == known.end()) found = id;
        return found != 0;
    });
    return Process::Attach(found);
}

void WaitUntil(const Process& process, const std::string& what,
               const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    Await(process, what, timeout, condition);
}

}  // namespace vellum::e2e
