#pragma once

#include <windows.h>

namespace vellum::win32 {

// Runs `start` (a CreateProcess* call) until it succeeds or fails with anything but
// ERROR_INTERNAL_ERROR, at most a few times. That error means the new process died while it was
// being loaded; Wine gives it now and then under load, and the same start a moment later works.
// Any other failure is returned at once, its error still in GetLastError.
template <typename Start>
BOOL StartProcessRetrying(Start start) {
    for (int attempt = 1;; ++attempt) {
        if (start()) return TRUE;
        if (GetLastError() != ERROR_INTERNAL_ERROR || attempt == 3) return FALSE;
        Sleep(200);
    }
}

}  // namespace vellum::win32
