#include "toolkit/win32/system_error.h"

#include <cstdio>

#include "toolkit/win32/strings.h"

namespace vellum::win32 {

namespace {

std::string Trimmed(std::string text) {
    while (!text.empty() &&
           (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    return text;
}

// FormatMessageW into a string; "" when the system has no wording.
std::string Format(DWORD flags, HMODULE module, DWORD code, DWORD_PTR* arguments) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | flags, module, code, 0,
                                        reinterpret_cast<wchar_t*>(&buffer), 0,
                                        reinterpret_cast<va_list*>(arguments));
    if (length == 0 || buffer == nullptr) return {};
    std::string text = Narrow(buffer, length);
    LocalFree(buffer);
    return text;
}

std::string Numbered(DWORD code) {
    char number[16];
    // A COM result has its severity bit set; it reads as the hexadecimal code it is known by.
    if ((code & 0x80000000u) != 0)
        std::snprintf(number, sizeof number, "0x%08lX", static_cast<unsigned long>(code));
    else
        std::snprintf(number, sizeof number, "%lu", static_cast<unsigned long>(code));
    return number;
}

std::string Described(DWORD code, const std::string& wording) {
    return wording.empty() ? "error " + Numbered(code) : wording + " (" + Numbered(code) + ")";
}

}  // namespace

std::string SystemWording(DWORD code) {
    return Trimmed(
        Format(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, nullptr));
}

std::string SystemMessage(DWORD code) {
    const std::string wording = SystemWording(code);
    return wording.empty() ? "System error " + std::to_string(code) : wording;
}

std::string DescribeSystemError(DWORD code) {
    return Described(code, SystemWording(code));
}

std::string DescribeSystemError(DWORD code, const std::vector<std::string>& inserts) {
    // Room for every insert a system message uses; the ones not given read as empty, never as
    // whatever lies beyond the array.
    constexpr size_t kInserts = 16;
    std::vector<std::wstring> wide(kInserts);
    DWORD_PTR arguments[kInserts];
    for (size_t i = 0; i < kInserts; ++i) {
        if (i < inserts.size()) wide[i] = Widen(inserts[i]);
        arguments[i] = reinterpret_cast<DWORD_PTR>(wide[i].c_str());
    }
    return Described(
        code, Trimmed(Format(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ARGUMENT_ARRAY, nullptr,
                             code, arguments)));
}

std::string StatusWording(DWORD status) {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (ntdll == nullptr) return {};
    std::string text =
        Format(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS, ntdll, status, nullptr);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    return text;
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
