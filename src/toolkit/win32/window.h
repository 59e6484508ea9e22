#pragma once

// The thin window layer: a registered class whose procedure finds the owning C++ object and
// hands it the message, plus the child controls the forms are made of. Positions are given in
// twips (1/1440 inch) relative to the control's container, converted with the screen's DPI.

#include <windows.h>

#include <string>

namespace vellum::win32 {

// A rectangle in twips: left, top, width, height.
struct Twips {
    int left;
    int top;
    int width;
    int height;
};

// A form's top-level style: a fixed border (no sizing frame, no maximise box).
inline constexpr DWORD kFormStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

int TwipsToPixelsX(int twips);
int TwipsToPixelsY(int twips);

// A window whose messages go to OnMessage. The object must outlive its window.
class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND Hwnd() const { return hwnd_; }

protected:
    // Creates a top-level window whose client area is `clientTwips` wide and high.
    void CreateTopLevel(const wchar_t* className, const std::string& caption, DWORD style,
                        int clientWidthTwips, int clientHeightTwips, HICON icon);
    virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Destroy();

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND hwnd_ = nullptr;
};

// The forms' shared GDI fonts: the window's default font and the frame caption font.
HFONT DefaultFont();
HFONT FrameCaptionFont();

// Creates a child control of a system class at a twips position inside `parent`.
HWND CreateControl(HWND parent, const wchar_t* className, const std::string& text, DWORD style,
                   DWORD exStyle, const Twips& position, int id, HFONT font = DefaultFont());

// A frame: a container that draws an etched border with its caption in the frame caption font
// and passes its children's notifications on to the top-level window.
HWND CreateFrame(HWND parent, const std::string& caption, const Twips& position, int id);

// Sends WM_COMMAND and WM_NOTIFY from a container's children to the top-level window, which
// handles every control's events.
bool ForwardToTopLevel(HWND container, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

std::string WindowText(HWND hwnd);

}  // namespace vellum::win32
