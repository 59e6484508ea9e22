#pragma once

#include <string>

namespace vellum::toolkit {

// The number of UTF-16 units of a UTF-8 text: what a text box counts as its characters.
inline int Utf16Length(const std::string& utf8) {
    int units = 0;
    for (unsigned char c : utf8) {
        if ((c & 0xC0) == 0x80) continue;  // continuation byte
        units += c >= 0xF0 ? 2 : 1;
    }
    return units;
}

// `text` cut to at most `units` UTF-16 units, never inside a character.
inline std::string CutToUtf16(std::string text, int units) {
    while (!text.empty() && Utf16Length(text) > units) {
        size_t start = text.size() - 1;
        while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) --start;
        text.erase(start);
    }
    return text;
}

// Spaces (only) removed at both ends; tabs and other blanks stay.
inline std::string TrimSpaces(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    const size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

}  // namespace vellum::toolkit
