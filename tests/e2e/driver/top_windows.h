#pragma once

// Finding a process's top-level windows and waiting for them to come and go.

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "driver/process.h"

namespace vellum::e2e {

struct TopWindow {
    HWND hwnd = nullptr;
    std::string title;
    std::string className;
};

// The visible top-level windows (owned ones included: dialogs and message boxes) of the
// process, in z-order: what a user sees. Hidden helper windows are left out: COM makes one
// ("OleMainThreadWndClass") in every thread that starts it, at a moment of its own, and it may
// then come first.
std::vector<TopWindow> TopWindows(const Process& process);

// One line per top-level window, hidden ones marked, plus whether the process still runs: what a
// failure message shows.
std::string DescribeWindows(const Process& process);

// A visible top-level window of the process whose title is exactly `title`.
HWND WaitForWindow(const Process& process, const std::string& title,
                   std::chrono::milliseconds timeout = kDefaultTimeout);

// A visible dialog window (class #32770: a message box or a common dialog) of the process,
// optionally with the given title.
HWND WaitForDialog(const Process& process, std::chrono::milliseconds timeout = kDefaultTimeout);
HWND WaitForDialog(const Process& process, const std::string& title,
                   std::chrono::milliseconds timeout = kDefaultTimeout);

// Waits until `window` is destroyed or hidden; `what` names it in the failure message.
void WaitForWindowGone(const Process& process, HWND window, const std::string& what,
                       std::chrono::milliseconds timeout = kDefaultTimeout);

// Waits until a process named `imageName` runs that is not one of `known`, and takes it over
// (Process::Attach): for programs that the driven program starts, such as vellum.exe started
// by RedRun inside a print job. `witness` is the process whose windows a time-out describes.
Process WaitForNewProcess(const Process& witness, const std::string& imageName,
                          const std::vector<DWORD>& known,
                          std::chrono::milliseconds timeout = kDefaultTimeout);

// Polls `condition` until it holds; throws DriverError naming `what` otherwise. The building block
// for waits on effects outside the windows (a file written, a process ended).
void WaitUntil(const Process& process, const std::string& what,
               const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = kDefaultTimeout);

}  // namespace vellum::e2e
