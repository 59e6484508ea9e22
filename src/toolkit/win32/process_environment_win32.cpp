#include "toolkit/win32/process_environment_win32.h"

#include <windows.h>

#include "toolkit/win32/strings.h"

namespace vellum::win32 {

std::optional<std::string> ProcessEnvironment::Variable(const std::string& name) {
    const std::wstring wideName = Widen(name);
    std::wstring value(256, L'\0');
    for (;;) {
        SetLastError(ERROR_SUCCESS);
        const DWORD length = GetEnvironmentVariableW(wideName.c_str(), value.data(),
                                                     static_cast<DWORD>(value.size()));
        const DWORD error = GetLastError();
        if (length == 0) {
            if (error == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
            return error == ERROR_SUCCESS ? std::optional<std::string>("") : std::nullopt;
        }
        // Too small: the length asked for counts the closing NUL.
        if (length >= value.size()) {
            value.resize(length);
            continue;
        }
        value.resize(length);
        return Narrow(value);
    }
}

}  // namespace vellum::win32
