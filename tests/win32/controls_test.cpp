// The toolkit's controls before and after their windows exist: what a form's load sets on a
// control whose window is not made yet must be what the window shows once it is.

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "shell/window_helpers.h"
#include "shell/win32/window_api_win32.h"
#include "toolkit/runtime_error.h"
#include "toolkit/win32/controls_win32.h"
#include "toolkit/win32/strings.h"

namespace vellum::win32 {

namespace {

// A hidden top-level window to create controls in; destroyed with its children.
class Host {
public:
    Host()
        : hwnd_(CreateWindowExW(0, WC_STATICW, L"host", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr)) {}
    ~Host() { DestroyWindow(hwnd_); }
    HWND Make(const wchar_t* className, DWORD style) const {
        return CreateWindowExW(0, className, L"", WS_CHILD | style, 0, 0, 200, 100, hwnd_, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    }

private:
    HWND hwnd_;
};

std::wstring ComboItem(HWND combo, int index) {
    wchar_t text[64] = L"";
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    return text;
}

}  // namespace

TEST(DeferredControls, StateSetBeforeTheWindowExistsIsWhatItShows) {
    Host host;
    TextBox box;
    box.SetText("C:\\gs\\gswin64c.exe");
    shell::SelectAllAndFocus(box);  // no window yet: nothing to focus, and no failure
    EXPECT_EQ(box.Text(), "C:\\gs\\gswin64c.exe");

    CheckBox check;
    check.SetValue(1);
    ComboBox ports;
    ports.AddItem("RPT1:");
    ports.AddItem("RPT2:");
    ports.SetText("RPT2:");
    EXPECT_EQ(ports.Text(), "RPT2:");
    TabControl tabs({"Ghostscript", "RedMon", "Vellum"});
    tabs.SetTab(2);
    EXPECT_THROW(tabs.SetTab(3), toolkit::RuntimeError);

    box.Attach(host.Make(WC_EDITW, ES_AUTOHSCROLL));
    check.Attach(host.Make(WC_BUTTONW, BS_AUTOCHECKBOX));
    ports.Attach(host.Make(WC_COMBOBOXW, CBS_DROPDOWNLIST));
    tabs.Attach(host.Make(WC_TABCONTROLW, 0));

    EXPECT_EQ(box.Text(), "C:\\gs\\gswin64c.exe");
    DWORD start = 1, end = 0;
    SendMessageW(box.Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 18u) << "the whole text selected";
    EXPECT_EQ(SendMessageW(check.Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(ports.Handle(), CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(ComboItem(ports.Handle(), 1), L"RPT2:");
    EXPECT_EQ(ports.Text(), "RPT2:");
    EXPECT_EQ(SendMessageW(tabs.Handle(), TCM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(tabs.Tab(), 2);

    // From now on the window is the truth.
    SetWindowTextW(box.Handle(), L"typed");
    EXPECT_EQ(box.Text(), "typed");
    ports.Clear();
    EXPECT_EQ(SendMessageW(ports.Handle(), CB_GETCOUNT, 0, 0), 0);
}

TEST(DeferredControls, EdgeAndCompletionAskedForEarlyReachTheWindow) {
    Host host;
    WindowApi api;
    Button button;
    shell::SetEdgeStyle(api, button, true);
    shell::SetEdgeStyle(api, button, true);
    button.Attach(host.Make(WC_BUTTONW, BS_PUSHBUTTON));
    EXPECT_NE(GetWindowLongW(button.Handle(), GWL_EXSTYLE) & WS_EX_STATICEDGE, 0);

    TextBox path;
    shell::EnableAutoComplete(api, path, shell::kShacfFileSystem);
    path.Attach(host.Make(WC_EDITW, 0));  // completion is switched on now, without a failure
    shell::SetEdgeStyle(api, path, false);
    EXPECT_NE(GetWindowLongW(path.Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
}

}  // namespace vellum::win32
