#pragma once

// An entry point of a DLL that may be missing, looked up at the first use and kept for the
// life of the process. A missing DLL or entry point is a RuntimeError (48 or 453, the numbers
// the platform gives those failures) that the caller handles.

#include <windows.h>

#include <string>

#include "toolkit/runtime_error.h"
#include "toolkit/win32/handles.h"
#include "toolkit/win32/system_error.h"

namespace vellum::win32 {

inline constexpr std::int32_t kErrDllNotFound = 48;
inline constexpr std::int32_t kErrEntryPointNotFound = 453;

template <typename Fn>
class OptionalEntry {
public:
    OptionalEntry(const char* dll, const char* entry) : dll_(dll), entry_(entry) {}

    // Throws RuntimeError when the DLL or the entry point is missing; tries again next time.
    Fn Get() {
        if (fn_ != nullptr) return fn_;
        if (!module_) {
            module_.Reset(LoadLibraryA(dll_));
            if (!module_) {
                const DWORD error = GetLastError();
                throw toolkit::VellumError(
                    kErrDllNotFound,
                    SystemErrorText(std::string("File not found: ") + dll_, error));
            }
        }
        fn_ = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module_.Get(), entry_)));
        if (fn_ == nullptr)
            throw toolkit::VellumError(
                kErrEntryPointNotFound,
                std::string("Can't find DLL entry point ") + entry_ + " in " + dll_);
        return fn_;
    }

private:
    const char* dll_;
    const char* entry_;
    Module module_;
    Fn fn_ = nullptr;
};

}  // namespace vellum::win32
