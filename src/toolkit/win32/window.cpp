#include "toolkit/win32/window.h"

#include <vector>

#include "toolkit/runtime_error.h"
#include "toolkit/win32/msg_box_win32.h"
#include "toolkit/win32/strings.h"
#include "toolkit/win32/system_error.h"

namespace vellum::win32 {

namespace {

constexpr wchar_t kFrameClass[] = L"VellumFrame";

int ReadScreenDpi(int capability) {
    HDC dc = GetDC(nullptr);
    const int value = GetDeviceCaps(dc, capability);
    ReleaseDC(nullptr, dc);
    return value > 0 ? value : 96;
}

int ScreenDpiX() {
    static const int dpi = ReadScreenDpi(LOGPIXELSX);
    return dpi;
}

int ScreenDpiY() {
    static const int dpi = ReadScreenDpi(LOGPIXELSY);
    return dpi;
}

// A font of `face` at `points100` hundredths of a point.
HFONT MakeFont(const wchar_t* face, int points100, LONG weight) {
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(points100, ScreenDpiY(), 7200);
    lf.lfWeight = weight;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
    HFONT font = CreateFontIndirectW(&lf);
    return font != nullptr ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

LRESULT CALLBACK FrameProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT forwarded = 0;
    if (ForwardToTopLevel(hwnd, message, wParam, lParam, forwarded)) return forwarded;
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT client;
        GetClientRect(hwnd, &client);
        const std::wstring caption = Widen(WindowText(hwnd));
        HGDIOBJ oldFont = SelectObject(dc, FrameCaptionFont());
        SIZE extent{};
        GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
        RECT border = client;
        border.top += extent.cy / 2;
        DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);
        if (!caption.empty()) {
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
            SetBkMode(dc, OPAQUE);
            const int indent = TwipsToPixelsX(120) / 2;
            TextOutW(dc, indent, 0, L" ", 1);
            TextOutW(dc, indent + 2, 0, caption.c_str(), static_cast<int>(caption.size()));
        }
        SelectObject(dc, oldFont);
        EndPaint(hwnd, &ps);
        return 0;
    }
    if (message == WM_SETTEXT) {
        const LRESULT result = DefWindowProcW(hwnd, message, wParam, lParam);
        InvalidateRect(hwnd, nullptr, TRUE);
        return result;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void RegisterFrameClass() {
    static const bool registered = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = FrameProcedure;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kFrameClass;
        return RegisterClassExW(&wc) != 0;
    }();
    if (!registered) ThrowLastError("The frame window class could not be registered");
}

}  // namespace

int TwipsToPixelsX(int twips) {
    return MulDiv(twips, ScreenDpiX(), 1440);
}
int TwipsToPixelsY(int twips) {
    return MulDiv(twips, ScreenDpiY(), 1440);
}

Window::~Window() {
    Destroy();
}

void Window::Destroy() {
    if (hwnd_ != nullptr) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
        hwnd_ = nullptr;
    }
}

void Window::CreateTopLevel(const wchar_t* className, const std::string& caption, DWORD style,
                            int clientWidthTwips, int clientHeightTwips, HICON icon) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExW(instance, className, &wc)) {
        wc = WNDCLASSEXW{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = Procedure;
        wc.hInstance = instance;
        wc.hIcon = icon;
        wc.hIconSm = icon;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = className;
        if (RegisterClassExW(&wc) == 0) ThrowLastError("The window class could not be registered");
    }
    RECT frame{0, 0, TwipsToPixelsX(clientWidthTwips), TwipsToPixelsY(clientHeightTwips)};
    AdjustWindowRectEx(&frame, style, FALSE, WS_EX_CONTROLPARENT);
    const HWND hwnd = CreateWindowExW(WS_EX_CONTROLPARENT, className, Widen(caption).c_str(), style,
                                      CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                                      frame.bottom - frame.top, nullptr, nullptr, instance, this);
    if (hwnd == nullptr) ThrowLastError("The window could not be created");
}

LRESULT Window::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* self = static_cast<Window*>(create->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
    // Nothing may unwind through the system's frames: what no handler caught ends the program
    // the way an untrapped run-time error does.
    try {
        return self->OnMessage(message, wParam, lParam);
    } catch (const std::exception& e) {
        ReportUncaught(e);
    }
    ExitProcess(1);
}

HFONT DefaultFont() {
    // MS Sans Serif 8 pt: the font the forms' layout was drawn for.
    static const HFONT font = MakeFont(L"MS Sans Serif", 800, FW_NORMAL);
    return font;
}

HFONT FrameCaptionFont() {
    static const HFONT font = MakeFont(L"Verdana", 825, FW_BOLD);
    return font;
}

HWND CreateControl(HWND parent, const wchar_t* className, const std::string& text, DWORD style,
                   DWORD exStyle, const Twips& p, int id, HFONT font) {
    const HWND hwnd = CreateWindowExW(
        exStyle, className, Widen(text).c_str(), WS_CHILD | WS_VISIBLE | style,
        TwipsToPixelsX(p.left), TwipsToPixelsY(p.top), TwipsToPixelsX(p.width),
        TwipsToPixelsY(p.height), parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
        GetModuleHandleW(nullptr), nullptr);
    if (hwnd == nullptr) ThrowLastError("A control could not be created");
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return hwnd;
}

HWND CreateFrame(HWND parent, const std::string& caption, const Twips& position, int id) {
    RegisterFrameClass();
    return CreateControl(parent, kFrameClass, caption, WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT,
                         position, id, FrameCaptionFont());
}

bool ForwardToTopLevel(HWND container, UINT message, WPARAM wParam, LPARAM lParam,
                       LRESULT& result) {
    if (message != WM_COMMAND && message != WM_NOTIFY) return false;
    const HWND top = GetAncestor(container, GA_ROOT);
    if (top == nullptr || top == container) return false;
    result = SendMessageW(top, message, wParam, lParam);
    return true;
}

std::string WindowText(HWND hwnd) {
    const int length = GetWindowTextLengthW(hwnd);
    if (length <= 0) return {};
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    const int copied = GetWindowTextW(hwnd, buffer.data(), length + 1);
    return Narrow(buffer.data(), static_cast<size_t>(copied));
}

}  // namespace vellum::win32
