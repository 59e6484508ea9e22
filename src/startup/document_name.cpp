#include "startup/document_name.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

#include "toolkit/text.h"

namespace vellum::startup {

namespace {

constexpr size_t kPathLimit = 259;       // MAX_PATH less its closing NUL
constexpr size_t kComponentLimit = 255;  // one name in a path, on NTFS and FAT alike
constexpr std::string_view kPdfExtension = ".pdf";

// Prefixes applications put before the document's own name.
constexpr std::array<std::string_view, 7> kApplicationPrefixes = {
    "Microsoft Word - ",    "Microsoft Excel - ",     "Microsoft PowerPoint - ",
    "Microsoft Visio - ",   "Microsoft Publisher - ", "Microsoft Access - ",
    "Microsoft OneNote - ",
};

// Extensions of document types, dropped from the end of a name: the PDF is another document.
constexpr std::array<std::string_view, 32> kDocumentExtensions = {
    ".docx", ".docm", ".doc",  ".dotx", ".rtf",  ".odt",  ".ods", ".odp", ".txt",  ".text", ".xlsx",
    ".xlsm", ".xls",  ".pptx", ".ppt",  ".htm",  ".html", ".mht", ".pdf", ".ps",   ".eps",  ".csv",
    ".xml",  ".md",   ".png",  ".jpg",  ".jpeg", ".gif",  ".bmp", ".tif", ".tiff", ".vsdx",
};

// Names Windows gives to devices, in any case and whatever follows their first dot.
constexpr std::array<std::string_view, 22> kDeviceNames = {
    "CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7",
    "COM8", "COM9", "LPT1", "LPT2", "LPT3", "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9",
};

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameLetters(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return Upper(x) == Upper(y); });
}

void AppendUtf8(std::string& out, std::uint32_t codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

bool IsUtf8(const std::string& text) {
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const size_t length = lead < 0x80                    ? 1
                              : lead >= 0xC2 && lead <= 0xDF ? 2
                              : lead >= 0xE0 && lead <= 0xEF ? 3
                              : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                             : 0;
        if (length == 0 || i + length > text.size()) return false;
        for (size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        i += length;
    }
    return true;
}

// Windows-1252's characters for 0x80-0x9F (0 where it has none); the rest is Latin-1.
constexpr std::array<std::uint16_t, 32> kWindows1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// The title's bytes as UTF-8 text.
std::string TitleText(const std::string& bytes) {
    std::string out;
    const bool bigEndian = bytes.size() >= 2 && bytes.compare(0, 2, "\xFE\xFF") == 0;
    const bool littleEndian = bytes.size() >= 2 && bytes.compare(0, 2, "\xFF\xFE") == 0;
    if (bigEndian || littleEndian) {
        const auto unit = [&](size_t i) -> std::uint32_t {
            const auto a = static_cast<unsigned char>(bytes[i]);
            const auto b = static_cast<unsigned char>(bytes[i + 1]);
            return bigEndian ? (a << 8 | b) : (b << 8 | a);
        };
        for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
            std::uint32_t codePoint = unit(i);
            if (codePoint >= 0xD800 && codePoint <= 0xDBFF && i + 3 < bytes.size()) {
                const std::uint32_t low = unit(i + 2);
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (low - 0xDC00);
                    i += 2;
                }
            }
            if (codePoint < 0xD800 || codePoint > 0xDFFF) AppendUtf8(out, codePoint);
        }
        return out;
    }
    if (IsUtf8(bytes)) return bytes;
    for (unsigned char c : bytes) {
        const std::uint32_t codePoint = c >= 0x80 && c <= 0x9F ? kWindows1252High[c - 0x80] : c;
        if (codePoint != 0) AppendUtf8(out, codePoint);
    }
    return out;
}

// The PostScript string that starts at `text[i]` ("("), its escapes decoded, up to its
// balancing ")" or the end of `text`.
std::string PostScriptString(const std::string& text, size_t i) {
    std::string out;
    int depth = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '(') {
            if (depth++ == 0) continue;
        } else if (c == ')') {
            if (--depth == 0) break;
        } else if (c == '\\' && i + 1 < text.size()) {
            const char next = text[++i];
            if (next >= '0' && next <= '7') {
                int value = 0;
                for (int digits = 0;
                     digits < 3 && i < text.size() && text[i] >= '0' && text[i] <= '7';
                     ++digits, ++i)
                    value = value * 8 + (text[i] - '0');
                --i;
                out += static_cast<char>(value & 0xFF);
                continue;
            }
            switch (next) {
                case 'n':
                    out += '\n';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case '\r':
                    if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
                    break;
                case '\n':
                    break;  // a line continued
                default:
                    out += next;
                    break;
            }
            continue;
        }
        out += c;
    }
    return out;
}

// What a character Windows forbids in a name becomes, so that the words around it still read.
std::string Replacement(char c, char next) {
    switch (c) {
        case '\\':
        case '/':
        case '|':
        case '*':
            return "-";
        case ':':
            return next == ' ' ? " -" : "-";  // "Re: x" reads "Re - x", "12:30" "12-30"
        case '"':
            return "'";
        case '<':
            return "(";
        case '>':
            return ")";
        case '?':
            return "";
        default:
            return " ";  // control characters
    }
}

bool Forbidden(unsigned char c) {
    return c < 0x20 || c == 0x7F ||
           std::string_view("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos;
}

std::string Trimmed(const std::string& text, std::string_view blanks) {
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

bool EndsWithLetters(const std::string& text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           SameLetters(std::string_view(text).substr(text.size() - suffix.size()), suffix);
}

}  // namespace

std::string DscTitle(const std::string& postScript) {
    return DscComment(postScript, "%%Title:");
}

std::string DscComment(const std::string& postScript, std::string_view key) {
    const std::string head = postScript.substr(0, kTitleSearchBytes);
    for (size_t line = 0; line < head.size();) {
        const size_t end = head.find_first_of("\r\n", line);
        const size_t lineEnd = end == std::string::npos ? head.size() : end;
        if (head.compare(line, key.size(), key) == 0) {
            size_t i = line + key.size();
            while (i < lineEnd && (head[i] == ' ' || head[i] == '\t')) ++i;
            if (i < lineEnd && head[i] == '(') return TitleText(PostScriptString(head, i));
            return TitleText(Trimmed(head.substr(i, lineEnd - i), " \t"));
        }
        line = head.find_first_not_of("\r\n", lineEnd);
        if (line == std::string::npos) break;
    }
    return {};
}

std::string DocumentTitle(const std::string& redmonDocName, const std::string& jobHead) {
    if (!toolkit::TrimSpaces(redmonDocName).empty() && redmonDocName != "RedMon")
        return redmonDocName;
    return DscTitle(jobHead);
}

std::string JobDocumentTitle(toolkit::ProcessEnvironment& environment, toolkit::FileSystem& files,
                             const std::string& jobPath) {
    const std::string docName = environment.Variable("REDMON_DOCNAME").value_or("");
    if (!toolkit::TrimSpaces(docName).empty() && docName != "RedMon") return docName;
    return DscTitle(files.ReadBytes(jobPath, 0, kTitleSearchBytes));
}

std::string PdfNameFor(const std::string& title, const std::string& folder) {
    std::string name;
    for (size_t i = 0; i < title.size(); ++i) {
        const auto c = static_cast<unsigned char>(title[i]);
        if (!Forbidden(c)) {
            name += title[i];
            continue;
        }
        name += Replacement(title[i], i + 1 < title.size() ? title[i + 1] : '\0');
    }
    std::string collapsed;
    for (char c : name)
        if (c != ' ' || collapsed.empty() || collapsed.back() != ' ') collapsed += c;
    name = Trimmed(collapsed, " ");

    for (std::string_view prefix : kApplicationPrefixes) {
        if (name.size() > prefix.size() &&
            SameLetters(std::string_view(name).substr(0, prefix.size()), prefix)) {
            name.erase(0, prefix.size());
            break;
        }
    }
    for (std::string_view extension : kDocumentExtensions) {
        if (name.size() > extension.size() && EndsWithLetters(name, extension)) {
            name.erase(name.size() - extension.size());
            break;
        }
    }
    name = Trimmed(name, " .");

    const size_t folderUnits = folder.empty() ? 0
                                              : static_cast<size_t>(toolkit::Utf16Length(folder)) +
                                                    (folder.back() == '\\' ? 0 : 1);
    const size_t limit = std::min(kComponentLimit, kPathLimit - std::min(kPathLimit, folderUnits));
    if (limit <= kPdfExtension.size()) return {};
    name = Trimmed(toolkit::CutToUtf16(name, static_cast<int>(limit - kPdfExtension.size() - 1)),
                   " .");

    return NotADeviceName(name);
}

std::string NotADeviceName(std::string name) {
    // A device name stays a device name whatever follows its first dot: "CON.x.pdf" is CON.
    const size_t dot = name.find('.');
    const std::string stem = Trimmed(name.substr(0, dot), " ");
    for (std::string_view device : kDeviceNames) {
        if (SameLetters(stem, device)) {
            name.insert(stem.size(), "_");
            break;
        }
    }
    return name;
}

}  // namespace vellum::startup
