#include "toolkit/win32/system_error.h"

#include <cstdio>

#include "toolkit/win32/strings.h"

namespace vellum::win32 {

std::string SystemWording(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    if (length == 0 || buffer == nullptr) return {};
    std::string text = Narrow(buffer, length);
    LocalFree(buffer);
    while (!text.empty() &&
           (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    return text;
}

std::string SystemMessage(DWORD code) {
    const std::string wording = SystemWording(code);
    return wording.empty() ? "System error " + std::to_string(code) : wording;
}

std::string DescribeSystemError(DWORD code) {
    char number[16];
    // A COM result has its severity bit set; it reads as the hexadecimal code it is known by.
    if ((code & 0x80000000u) != 0)
        std::snprintf(number, sizeof number, "0x%08lX", static_cast<unsigned long>(code));
    else
        std::snprintf(number, sizeof number, "%lu", static_cast<unsigned long>(code));
    const std::string wording = SystemWording(code);
    return wording.empty() ? std::string("error ") + number : wording + " (" + number + ")";
}

std::string SystemErrorText(const std::string& what, DWORD code) {
    return what + ": " + DescribeSystemError(code);
}

toolkit::RuntimeError SystemError(const std::string& what, DWORD code, std::string source) {
    return toolkit::RuntimeError(static_cast<std::int32_t>(code), std::move(source),
                                 SystemErrorText(what, code));
}

void ThrowSystemError(const std::string& what, DWORD code) {
    throw SystemError(what, code);
}

void ThrowLastError(const std::string& what) {
    const DWORD code = GetLastError();
    ThrowSystemError(what, code);
}

}  // namespace vellum::win32
