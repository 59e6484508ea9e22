#include "toolkit/win32/strings.h"

namespace vellum::win32 {

namespace {

std::wstring ToWide(const std::string& text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int needed = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    std::wstring result(static_cast<size_t>(needed), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, result.data(), needed);
    return result;
}

std::string FromWide(const wchar_t* text, size_t length) {
    if (length == 0) return {};
    const int size = static_cast<int>(length);
    const int needed = WideCharToMultiByte(CP_ACP, 0, text, size, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(needed), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, size, result.data(), needed, nullptr, nullptr);
    return result;
}

}  // namespace

std::wstring Widen(const std::string& text) {
    return ToWide(text);
}

std::string Narrow(const std::wstring& utf16) {
    return FromWide(utf16.data(), utf16.size());
}

std::string Narrow(const wchar_t* utf16, size_t length) {
    return FromWide(utf16, length);
}

}  // namespace vellum::win32
