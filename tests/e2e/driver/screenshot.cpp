#include "driver/screenshot.h"

#include <fstream>
#include <vector>

#include "driver/error.h"
#include "driver/internal.h"
#include "toolkit/win32/handles.h"
#include "toolkit/win32/strings.h"

namespace vellum::e2e {

namespace {

class ScreenDc {
public:
    ScreenDc() : dc(GetDC(nullptr)) {}
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    ~ScreenDc() { ReleaseDC(nullptr, dc); }
    const HDC dc;
};

class MemoryDc {
public:
    explicit MemoryDc(HDC like) : dc(CreateCompatibleDC(like)) {}
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    ~MemoryDc() { DeleteDC(dc); }
    const HDC dc;
};

}  // namespace

void SaveWindowImage(HWND window, const std::string& path) {
    RECT rect{};
    if (!GetWindowRect(window, &rect))
        throw DriverError("no picture of " + internal::Describe(window) + ": it has no place");
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        throw DriverError("no picture of " + internal::Describe(window) + ": it has no size");

    const ScreenDc screen;
    const MemoryDc memory(screen.dc);
    const win32::GdiObject bitmap(CreateCompatibleBitmap(screen.dc, width, height));
    const HGDIOBJ previous = SelectObject(memory.dc, bitmap.Get());
    const BOOL copied =
        BitBlt(memory.dc, 0, 0, width, height, screen.dc, rect.left, rect.top, SRCCOPY);
    SelectObject(memory.dc, previous);

    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;  // bottom-up, as a BMP file stores its rows
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    std::vector<char> pixels(stride * static_cast<size_t>(height));
    const int rows =
        copied ? GetDIBits(memory.dc, static_cast<HBITMAP>(bitmap.Get()), 0, height, pixels.data(),
                           reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS)
               : 0;
    if (rows != height)
        throw DriverError("no picture of " + internal::Describe(window) +
                          ": the screen could "
                          "not be read");

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size());
    header.biSizeImage = static_cast<DWORD>(pixels.size());
    std::ofstream out(win32::Widen(path).c_str(), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&header), sizeof(header));
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    if (!out) throw DriverError("cannot write the picture " + path);
}

}  // namespace vellum::e2e
