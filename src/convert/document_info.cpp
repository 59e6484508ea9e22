#include "convert/document_info.h"

#include <cstdint>
#include <cstdio>

namespace vellum::convert {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The next code point of `text` from `i`, which moves past it.
char32_t NextCodePoint(const std::string& text, size_t& i) {
    const auto byte = [&](size_t at) { return static_cast<unsigned char>(text[at]); };
    const unsigned char lead = byte(i);
    const int extra = lead < 0x80           ? 0
                      : (lead >> 5) == 0x06 ? 1
                      : (lead >> 4) == 0x0E ? 2
                      : (lead >> 3) == 0x1E ? 3
                                            : -1;
    if (extra <= 0 || i + extra >= text.size()) {
        ++i;
        return extra == 0 ? lead : kReplacement;
    }
    char32_t point = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            i += k;
            return kReplacement;
        }
        point = (point << 6) | (byte(i + k) & 0x3F);
    }
    i += extra + 1;
    const char32_t least[] = {0, 0x80, 0x800, 0x10000};
    if (point < least[extra] || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF))
        return kReplacement;
    return point;
}

bool IsControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

void AppendUnit(std::string& out, std::uint16_t unit) {
    char hex[5];
    std::snprintf(hex, sizeof hex, "%04X", static_cast<unsigned>(unit));
    out += hex;
}

}  // namespace

std::string Utf16HexString(const std::string& utf8) {
    std::string out = "<FEFF";
    for (size_t i = 0; i < utf8.size();) {
        const char32_t c = NextCodePoint(utf8, i);
        if (IsControl(c)) continue;
        if (c < 0x10000) {
            AppendUnit(out, static_cast<std::uint16_t>(c));
        } else {
            AppendUnit(out, static_cast<std::uint16_t>(0xD800 + ((c - 0x10000) >> 10)));
            AppendUnit(out, static_cast<std::uint16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        }
    }
    return out + ">";
}

std::string DocInfoPdfmark(const DocumentInfo& info) {
    std::string pairs;
    for (const auto& [key, value] :
         {std::pair<const char*, const std::string&>{"Title", info.title},
          {"Author", info.author},
          {"Creator", info.creator}})
        if (!value.empty()) pairs += std::string(" /") + key + " " + Utf16HexString(value);
    return pairs.empty() ? "" : "[" + pairs + " /DOCINFO pdfmark";
}

}  // namespace vellum::convert
