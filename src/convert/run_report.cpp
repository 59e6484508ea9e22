#include "convert/run_report.h"

#include <cctype>
#include <cstdio>
#include <vector>

#include "toolkit/text.h"

namespace vellum::convert {

namespace {

// The length of the valid UTF-8 sequence at `text[i]` (overlong forms and surrogates are not
// valid), or 0.
size_t Utf8SequenceAt(const std::string& text, size_t i, std::uint32_t& codePoint) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    size_t length = 0;
    std::uint32_t minimum = 0;
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, minimum = 0x80, codePoint = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, minimum = 0x800, codePoint = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, minimum = 0x10000, codePoint = lead & 0x07u;
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        codePoint = (codePoint << 6) | (byte(i + k) & 0x3Fu);
    }
    if (codePoint < minimum || codePoint > 0x10FFFF) return 0;
    if (codePoint >= 0xD800 && codePoint <= 0xDFFF) return 0;
    return length;
}

bool Printable(std::uint32_t codePoint) {
    if (codePoint == '\t' || codePoint == '\r' || codePoint == '\n') return true;
    if (codePoint < 0x20 || codePoint == 0x7F) return false;
    return codePoint < 0x80 || codePoint > 0x9F;
}

}  // namespace

std::string PrintableText(const std::string& text) {
    std::string kept;
    kept.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        std::uint32_t codePoint = 0;
        const size_t length = Utf8SequenceAt(text, i, codePoint);
        if (length == 0) {
            ++i;
            continue;
        }
        if (Printable(codePoint)) kept.append(text, i, length);
        i += length;
    }
    return kept;
}

std::string OutputTail(const std::string& output, size_t maxLines, size_t maxChars) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : PrintableText(output)) {
        if (c == '\r') continue;
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(line);
    while (!lines.empty() && toolkit::TrimSpaces(lines.back()).empty()) lines.pop_back();

    std::string tail;
    size_t taken = 0;
    for (auto it = lines.rbegin(); it != lines.rend() && taken < maxLines; ++it, ++taken) {
        std::string candidate = *it + (tail.empty() ? "" : "\r\n" + tail);
        if (candidate.size() > maxChars) {
            if (tail.empty()) {
                // Cut at the start of a character, never inside one.
                size_t start = it->size() - (maxChars - 3);
                while (start < it->size() && ((*it)[start] & 0xC0) == 0x80) ++start;
                tail = "..." + it->substr(start);
            }
            break;
        }
        tail = std::move(candidate);
    }
    return tail;
}

std::string ExitCodeText(std::uint32_t exitCode) {
    if (exitCode < 0xC0000000u) return std::to_string(exitCode);
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(exitCode));
    return text;
}

namespace {

// The length of the insert at text[i] ("%1", "%1!s!", "%p", "%08lx", "0x%p"), or 0.
size_t InsertAt(const std::string& text, size_t i) {
    size_t k = i;
    if (text.compare(k, 3, "0x%") == 0) k += 2;
    if (k >= text.size() || text[k] != '%') return 0;
    ++k;
    if (k < text.size() && std::isdigit(static_cast<unsigned char>(text[k]))) {
        while (k < text.size() && std::isdigit(static_cast<unsigned char>(text[k]))) ++k;
        if (k < text.size() && text[k] == '!') {
            const size_t close = text.find('!', k + 1);
            if (close != std::string::npos) k = close + 1;
        }
        return k - i;
    }
    const size_t flagsEnd = text.find_first_not_of("0123456789.-#lhwI", k);
    if (flagsEnd == std::string::npos || !std::isalpha(static_cast<unsigned char>(text[flagsEnd])))
        return 0;
    return flagsEnd + 1 - i;
}

bool HasInsert(const std::string& text) {
    for (size_t i = 0; i < text.size(); ++i)
        if (InsertAt(text, i) != 0) return true;
    return false;
}

}  // namespace

std::string ReadableStatusWording(const std::string& wording) {
    std::string text;
    for (char c : wording) text += (c == '\r' || c == '\n') ? ' ' : c;
    std::string kept;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find(". ", start);
        end = end == std::string::npos ? text.size() : end + 1;
        const std::string sentence = toolkit::TrimSpaces(text.substr(start, end - start));
        if (!sentence.empty() && !HasInsert(sentence)) kept += (kept.empty() ? "" : " ") + sentence;
        start = end;
    }
    if (!kept.empty() || text.empty()) return kept;
    std::string filled;
    for (size_t i = 0; i < text.size();) {
        const size_t insert = InsertAt(text, i);
        filled += insert != 0 ? "?" : std::string(1, text[i]);
        i += insert != 0 ? insert : 1;
    }
    return toolkit::TrimSpaces(filled);
}

std::string GhostscriptErrorLine(const std::string& output) {
    std::string last;
    size_t start = 0;
    const std::string text = PrintableText(output);
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("Error:", 0) == 0) return line;
        if (!toolkit::TrimSpaces(line).empty()) last = line;
        start = end + 1;
    }
    return last;
}

bool SaysDiskFull(const std::string& output) {
    // Ghostscript reports the C library's wording of ENOSPC as its "Last OS error", on Windows
    // as elsewhere.
    return output.find("No space left on device") != std::string::npos;
}

}  // namespace vellum::convert
