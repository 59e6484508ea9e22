#include "driver/icon_match.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "driver/controls.h"
#include "driver/internal.h"
#include "toolkit/win32/handles.h"

namespace vellum::e2e::internal {

namespace {

using Clock = std::chrono::steady_clock;

// A message box paints itself a moment after it shows: how long a capture may keep missing.
constexpr auto kPaintTimeout = std::chrono::seconds(3);
// Mean difference per colour channel (0..255) under which a capture counts as that icon.
constexpr double kMatchThreshold = 12.0;

struct ScreenDc {
    HDC dc = GetDC(nullptr);
    ~ScreenDc() { ReleaseDC(nullptr, dc); }
};

struct MemoryDc {
    explicit MemoryDc(HDC like) : dc(CreateCompatibleDC(like)) {}
    ~MemoryDc() { DeleteDC(dc); }
    HDC dc;
};

// A 32-bit top-down bitmap selected into a memory DC, its pixels readable.
class Canvas {
public:
    Canvas(HDC like, int width, int height) : dc_(like), width_(width), height_(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        bitmap_.Reset(CreateDIBSection(like, &info, DIB_RGB_COLORS, &bits_, nullptr, 0));
        if (!bitmap_ || !dc_.dc) throw DriverError("cannot make a bitmap to capture an icon");
        old_ = SelectObject(dc_.dc, bitmap_.Get());
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    ~Canvas() { SelectObject(dc_.dc, old_); }

    HDC Dc() const { return dc_.dc; }
    std::vector<uint32_t> Pixels() const {
        GdiFlush();
        const auto* data = static_cast<const uint32_t*>(bits_);
        return {data, data + static_cast<size_t>(width_) * static_cast<size_t>(height_)};
    }

private:
    MemoryDc dc_;
    win32::GdiObject bitmap_;
    HGDIOBJ old_ = nullptr;
    void* bits_ = nullptr;
    int width_;
    int height_;
};

double MeanDifference(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    double sum = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        for (int shift : {0, 8, 16}) {
            sum += std::abs(static_cast<int>((a[i] >> shift) & 0xFF) -
                            static_cast<int>((b[i] >> shift) & 0xFF));
        }
    }
    return a.empty() ? 0 : sum / (3.0 * static_cast<double>(a.size()));
}

HWND IconStatic(HWND box) {
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassName(child) == "Static" && (Style(child) & SS_TYPEMASK) == SS_ICON &&
            IsWindowVisible(child)) {
            return child;
        }
    }
    return nullptr;
}

struct Candidate {
    Icon icon;
    const wchar_t* resource;
};

const Candidate kCandidates[] = {
    {Icon::Error, IDI_HAND},
    {Icon::Information, IDI_ASTERISK},
    {Icon::Warning, IDI_EXCLAMATION},
    {Icon::Question, IDI_QUESTION},
};

}  // namespace

Icon MessageBoxIcon(HWND box) {
    const HWND iconStatic = IconStatic(box);
    if (!iconStatic || !Ask(iconStatic, STM_GETICON, 0, 0, "reading a message box icon")) {
        return Icon::None;
    }
    RECT rect{};
    GetClientRect(iconStatic, &rect);
    MapWindowPoints(iconStatic, HWND_DESKTOP, reinterpret_cast<POINT*>(&rect), 2);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return Icon::None;

    ScreenDc screen;
    std::string scores;
    const auto deadline = Clock::now() + kPaintTimeout;
    for (;;) {
        Canvas captured(screen.dc, width, height);
        BitBlt(captured.Dc(), 0, 0, width, height, screen.dc, rect.left, rect.top, SRCCOPY);
        const auto pixels = captured.Pixels();
        // An icon's corners are transparent: they show the background it was drawn on.
        const uint32_t background = pixels.front() & 0xFFFFFF;
        const COLORREF backgroundRef =
            RGB((background >> 16) & 0xFF, (background >> 8) & 0xFF, background & 0xFF);

        Icon best = Icon::None;
        double bestScore = 1e9;
        scores.clear();
        for (const Candidate& candidate : kCandidates) {
            Canvas drawn(screen.dc, width, height);
            win32::GdiObject brush(CreateSolidBrush(backgroundRef));
            RECT all{0, 0, width, height};
            FillRect(drawn.Dc(), &all, static_cast<HBRUSH>(brush.Get()));
            DrawIconEx(drawn.Dc(), 0, 0, LoadIconW(nullptr, candidate.resource), width, height, 0,
                       nullptr, DI_NORMAL);
            const double score = MeanDifference(pixels, drawn.Pixels());
            if (!scores.empty()) scores += ", ";
            scores += std::string(IconName(candidate.icon)) + " " + std::to_string(score);
            if (score < bestScore) {
                bestScore = score;
                best = candidate.icon;
            }
        }
        if (bestScore < kMatchThreshold) return best;
        if (Clock::now() >= deadline) break;
        std::this_thread::sleep_for(kPollInterval);
    }
    throw DriverError("the icon of " + Describe(box) + " matches no standard icon (mean " +
                      "difference per channel: " + scores + ")");
}

}  // namespace vellum::e2e::internal
