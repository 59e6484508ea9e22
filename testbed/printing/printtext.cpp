// Prints a text file to a printer through GDI, one page after another, as any application
// makes a print job: printtext <printer> <text file>. The file is UTF-8 (plain ASCII is too).

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "process.h"
#include "toolkit/runtime_error.h"
#include "toolkit/win32/handles.h"
#include "toolkit/win32/strings.h"

namespace vellum::testbed {
namespace {

constexpr int kPointSize = 10;
constexpr int kTabWidth = 8;

std::vector<std::wstring> ReadLines(const std::wstring& path) {
    win32::KernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) ThrowSystemError("cannot open " + win32::Narrow(path), GetLastError());
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file.Get(), buffer, sizeof(buffer), &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    const std::wstring text = win32::Widen(bytes);

    std::vector<std::wstring> lines(1);
    for (const wchar_t c : text) {
        if (c == L'\n') {
            lines.emplace_back();
        } else if (c == L'\t') {
            lines.back().append(kTabWidth - lines.back().size() % kTabWidth, L' ');
        } else if (c != L'\r') {
            lines.back() += c;
        }
    }
    if (lines.size() > 1 && lines.back().empty()) lines.pop_back();
    return lines;
}

// Splits `line` into pieces no wider than `width`, breaking after a blank where one fits.
std::vector<std::wstring> Wrap(HDC dc, const std::wstring& line, int width) {
    std::vector<std::wstring> pieces;
    std::wstring rest = line;
    while (!rest.empty()) {
        int fit = 0;
        SIZE size{};
        if (!GetTextExtentExPointW(dc, rest.c_str(), static_cast<int>(rest.size()), width, &fit,
                                   nullptr, &size))
            ThrowSystemError("cannot measure text", GetLastError());
        if (fit >= static_cast<int>(rest.size())) break;
        size_t cut = fit > 0 ? static_cast<size_t>(fit) : 1;
        const size_t blank = rest.find_last_of(L' ', cut - 1);
        if (blank != std::wstring::npos && blank > 0) cut = blank + 1;
        pieces.push_back(rest.substr(0, cut));
        rest.erase(0, cut);
    }
    pieces.push_back(rest);
    return pieces;
}

struct DcDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};

void Print(const std::wstring& printer, const std::wstring& path) {
    const std::vector<std::wstring> lines = ReadLines(path);

    std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter> dc(
        CreateDCW(L"WINSPOOL", printer.c_str(), nullptr, nullptr));
    if (!dc) ThrowSystemError("cannot open printer " + win32::Narrow(printer), GetLastError());
    const HDC hdc = dc.get();

    const int dpiY = GetDeviceCaps(hdc, LOGPIXELSY);
    win32::GdiObject font(CreateFontW(-MulDiv(kPointSize, dpiY, 72), 0, 0, 0, FW_NORMAL, FALSE,
                                      FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN,
                                      L"Courier"));
    if (!font) ThrowSystemError("cannot create the font", GetLastError());
    SelectObject(hdc, font.Get());
    TEXTMETRICW metrics{};
    if (!GetTextMetricsW(hdc, &metrics)) ThrowSystemError("no font metrics", GetLastError());

    // Half-inch margins from the paper's edge, measured in the printable area's coordinates.
    const int marginX =
        std::max(0, GetDeviceCaps(hdc, LOGPIXELSX) / 2 - GetDeviceCaps(hdc, PHYSICALOFFSETX));
    const int marginY = std::max(0, dpiY / 2 - GetDeviceCaps(hdc, PHYSICALOFFSETY));
    const int width = GetDeviceCaps(hdc, HORZRES) - 2 * marginX;
    const int lineHeight = metrics.tmHeight + metrics.tmExternalLeading;
    const int linesPerPage = std::max(1, (GetDeviceCaps(hdc, VERTRES) - 2 * marginY) / lineHeight);

    std::vector<std::wstring> rows;
    for (const std::wstring& line : lines)
        for (std::wstring& piece : Wrap(hdc, line, width)) rows.push_back(std::move(piece));

    const size_t slash = path.find_last_of(L"\\/");
    const std::wstring title = slash == std::wstring::npos ? path : path.substr(slash + 1);
    DOCINFOW doc{};
    doc.cbSize = sizeof(doc);
    doc.lpszDocName = title.c_str();
    if (StartDocW(hdc, &doc) <= 0) ThrowSystemError("StartDoc failed", GetLastError());
    for (size_t first = 0; first < rows.size(); first += static_cast<size_t>(linesPerPage)) {
        if (StartPage(hdc) <= 0) ThrowSystemError("StartPage failed", GetLastError());
        // Some drivers reset the DC's objects at each page.
        SelectObject(hdc, font.Get());
        for (size_t i = first; i < rows.size() && i < first + linesPerPage; ++i) {
            const std::wstring& row = rows[i];
            const int y = marginY + static_cast<int>(i - first) * lineHeight;
            if (!row.empty() &&
                !TextOutW(hdc, marginX, y, row.c_str(), static_cast<int>(row.size())))
                ThrowSystemError("TextOut failed", GetLastError());
        }
        if (EndPage(hdc) <= 0) ThrowSystemError("EndPage failed", GetLastError());
    }
    if (EndDoc(hdc) <= 0) ThrowSystemError("EndDoc failed", GetLastError());
}

}  // namespace
}  // namespace vellum::testbed

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: printtext <printer> <text file>\n");
        return 2;
    }
    try {
        vellum::testbed::Print(argv[1], argv[2]);
        return 0;
    } catch (const vellum::toolkit::RuntimeError& e) {
        std::fprintf(stderr, "printtext: %s\n", e.Description().c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "printtext: %s\n", e.what());
    }
    return 1;
}
