#include "toolkit/win32/strings.h"

namespace vellum::win32 {

namespace {

std::wstring ToWide(UINT codePage, const std::string& text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int needed = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    std::wstring result(static_cast<size_t>(needed), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), size, result.data(), needed);
    return result;
}

std::string FromWide(UINT codePage, const wchar_t* text, size_t length) {
    if (length == 0) return {};
    const int size = static_cast<int>(length);
    const int needed = WideCharToMultiByte(codePage, 0, text, size, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(needed), '\0');
    WideCharToMultiByte(codePage, 0, text, size, result.data(), needed, nullptr, nullptr);
    return result;
}

}  // namespace

std::wstring Widen(const std::string& utf8) {
    return ToWide(CP_UTF8, utf8);
}

std::string Narrow(const std::wstring& utf16) {
    return FromWide(CP_UTF8, utf16.data(), utf16.size());
}

std::string Narrow(const wchar_t* utf16, size_t length) {
    return FromWide(CP_UTF8, utf16, length);
}

std::string ToAnsi(const std::string& utf8) {
    const std::wstring wide = Widen(utf8);
    return FromWide(CP_ACP, wide.data(), wide.size());
}

std::string FromAnsi(const std::string& ansi) {
    return Narrow(ToWide(CP_ACP, ansi));
}

}  // namespace vellum::win32
