#include "driver/internal.h"

#include <cstdio>

#include "driver/controls.h"
#include "toolkit/win32/strings.h"
#include "toolkit/win32/system_error.h"

namespace vellum::e2e::internal {

namespace {

std::string LastErrorText(DWORD error) {
    return std::to_string(error) + " (" + win32::SystemMessage(error) + ")";
}

}  // namespace

std::string HexNumber(unsigned long long value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "0x%llx", value);
    return buffer;
}

std::string TextForDiagnostics(HWND window, std::chrono::milliseconds timeout) {
    wchar_t text[512] = {};
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text),
                             SMTO_ABORTIFHUNG, static_cast<UINT>(timeout.count()), &length)) {
        return "<no answer>";
    }
    return win32::Narrow(text, std::min<size_t>(length, std::size(text) - 1));
}

std::string Describe(HWND window) {
    std::string result = HexNumber(reinterpret_cast<uintptr_t>(window));
    if (!IsWindow(window)) return result + " (no longer a window)";
    return result + " \"" + TextForDiagnostics(window, std::chrono::milliseconds(500)) + "\" (" +
           ClassName(window) + ")";
}

LRESULT Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam, const char* what) {
    if (!IsWindow(window)) {
        throw DriverError(std::string(what) + ": " +
                          HexNumber(reinterpret_cast<uintptr_t>(window)) + " is not a window");
    }
    DWORD_PTR result = 0;
    const auto timeout = static_cast<UINT>(kAnswerTimeout.count());
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, timeout, &result)) {
        const DWORD error = GetLastError();
        throw DriverError(std::string(what) + ": " + Describe(window) + " did not answer within " +
                          std::to_string(timeout) + " ms (error " + LastErrorText(error) + ")");
    }
    return static_cast<LRESULT>(result);
}

void Act(HWND window, UINT message, WPARAM wParam, LPARAM lParam, const char* what) {
    if (!IsWindow(window)) {
        throw DriverError(std::string(what) + ": " +
                          HexNumber(reinterpret_cast<uintptr_t>(window)) + " is not a window");
    }
    DWORD_PTR result = 0;
    // A time-out is no failure: the handler still runs (a modal loop, a long job) and the test
    // waits for its effects. The message is delivered either way.
    SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL,
                        static_cast<UINT>(kActionSettle.count()), &result);
}

void NotifyParent(HWND control, WORD code, const char* what) {
    const HWND parent = GetParent(control);
    if (!parent) throw DriverError(std::string(what) + ": " + Describe(control) + " has no parent");
    const int id = GetDlgCtrlID(control);
    Act(parent, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control), what);
}

RemoteBuffer::RemoteBuffer(HWND window, size_t size) : size_(size) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    process_ =
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (!process_) {
        const DWORD error = GetLastError();
        throw DriverError("cannot open the process of " + Describe(window) + ": " +
                          LastErrorText(error));
    }
    address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!address_) {
        const DWORD error = GetLastError();
        CloseHandle(process_);
        throw DriverError("cannot allocate memory in the process of " + Describe(window) + ": " +
                          LastErrorText(error));
    }
}

RemoteBuffer::~RemoteBuffer() {
    VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    CloseHandle(process_);
}

void RemoteBuffer::Write(const void* data, size_t size, size_t offset) {
    SIZE_T written = 0;
    if (offset + size > size_ ||
        !WriteProcessMemory(process_, static_cast<char*>(address_) + offset, data, size,
                            &written) ||
        written != size) {
        const DWORD error = GetLastError();
        throw DriverError("cannot write to the target's memory: " + LastErrorText(error));
    }
}

void RemoteBuffer::Read(void* data, size_t size, size_t offset) const {
    SIZE_T read = 0;
    if (offset + size > size_ ||
        !ReadProcessMemory(process_, static_cast<const char*>(address_) + offset, data, size,
                           &read) ||
        read != size) {
        const DWORD error = GetLastError();
        throw DriverError("cannot read the target's memory: " + LastErrorText(error));
    }
}

}  // namespace vellum::e2e::internal
