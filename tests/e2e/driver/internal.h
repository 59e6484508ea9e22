#pragma once

// Helpers shared by the driver's own files; not part of its interface.

#include <windows.h>

#include <chrono>
#include <string>

#include "driver/error.h"

namespace vellum::e2e::internal {

// How long a read may take before the target counts as not answering.
inline constexpr std::chrono::milliseconds kAnswerTimeout = std::chrono::seconds(5);
// How long an action waits for the target's handler before carrying on: long enough for an
// ordinary handler, short enough not to stall on one that runs a modal loop.
inline constexpr std::chrono::milliseconds kActionSettle = std::chrono::milliseconds(750);
inline constexpr std::chrono::milliseconds kPollInterval = std::chrono::milliseconds(50);

// The window's text, or "<no answer>" when it does not answer within `timeout`: for diagnostics,
// which are wanted most when the target has stopped answering.
std::string TextForDiagnostics(HWND window, std::chrono::milliseconds timeout);

// "0x1a2b "Title" (Class)": how messages name a window.
std::string Describe(HWND window);
std::string HexNumber(unsigned long long value);

// Sends a message and returns its result; throws DriverError naming `what` when the window is
// gone or does not answer within kAnswerTimeout.
LRESULT Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam, const char* what);

// Sends a message that may start a modal loop: waits at most kActionSettle for the handler.
// Throws only when the window is gone.
void Act(HWND window, UINT message, WPARAM wParam, LPARAM lParam, const char* what);

// Tells the control's parent WM_COMMAND `code` from this control, as the control itself would.
void NotifyParent(HWND control, WORD code, const char* what);

// Memory inside the process that owns a window, for messages whose parameters point to a buffer
// (a pointer of ours means nothing there). Freed on destruction.
class RemoteBuffer {
public:
    RemoteBuffer(HWND window, size_t size);
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    ~RemoteBuffer();

    LPARAM Address() const { return reinterpret_cast<LPARAM>(address_); }
    size_t Size() const { return size_; }
    void Write(const void* data, size_t size, size_t offset = 0);
    void Read(void* data, size_t size, size_t offset = 0) const;

private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
    size_t size_ = 0;
};

}  // namespace vellum::e2e::internal
