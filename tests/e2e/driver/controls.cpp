#include "driver/controls.h"

#include <commctrl.h>

#include <algorithm>

#include "driver/internal.h"
#include "toolkit/win32/strings.h"
#include "toolkit/win32/system_error.h"

namespace vellum::e2e {

using internal::Act;
using internal::Ask;
using internal::Describe;

namespace {

struct ChildSearch {
    int id;
    HWND found = nullptr;
    std::vector<HWND> all;
};

BOOL CALLBACK MatchChild(HWND child, LPARAM param) {
    auto* search = reinterpret_cast<ChildSearch*>(param);
    search->all.push_back(child);
    if (!search->found && GetDlgCtrlID(child) == search->id) search->found = child;
    return TRUE;
}

// Reads an item text whose length and text come from a pair of messages (CB_GETLBTEXTLEN and
// CB_GETLBTEXT, LB_GETTEXTLEN and LB_GETTEXT).
std::string ItemText(HWND control, UINT lengthMessage, UINT textMessage, int index,
                     const char* what) {
    const LRESULT length = Ask(control, lengthMessage, index, 0, what);
    if (length < 0) throw DriverError(std::string(what) + ": no item " + std::to_string(index));
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied =
        Ask(control, textMessage, index, reinterpret_cast<LPARAM>(text.data()), what);
    text.resize(static_cast<size_t>(std::clamp<LRESULT>(copied, 0, length)));
    return win32::Narrow(text);
}

std::string Quoted(const std::vector<std::string>& items) {
    std::string text;
    for (const auto& item : items) {
        if (!text.empty()) text += ", ";
        text += "\"" + item + "\"";
    }
    return text.empty() ? "none" : text;
}

bool IsMultiSelect(HWND list) {
    return (Style(list) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0;
}

void NotifyListBox(HWND list, WORD code, const char* what) {
    // The list box itself tells its parent only with LBS_NOTIFY; a program that forgot the
    // style hears nothing from a user's click either.
    if (Style(list) & LBS_NOTIFY) internal::NotifyParent(list, code, what);
}

}  // namespace

HWND FindControl(HWND parent, int id) {
    ChildSearch search{id, nullptr, {}};
    EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND Control(HWND parent, int id) {
    ChildSearch search{id, nullptr, {}};
    EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
    std::string present;
    for (HWND child : search.all) {
        present += "\n  " + std::to_string(GetDlgCtrlID(child)) + ": " + Describe(child);
    }
    throw DriverError("no control with id " + std::to_string(id) + " in " + Describe(parent) +
                      "; its controls:" + (present.empty() ? " none" : present));
}

std::string ClassName(HWND window) {
    wchar_t name[256];
    const int length = GetClassNameW(window, name, static_cast<int>(std::size(name)));
    return length > 0 ? win32::Narrow(name, static_cast<size_t>(length)) : std::string();
}

std::string Text(HWND window) {
    const LRESULT length = Ask(window, WM_GETTEXTLENGTH, 0, 0, "reading a window's text");
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied = Ask(window, WM_GETTEXT, text.size(),
                               reinterpret_cast<LPARAM>(text.data()), "reading a window's text");
    text.resize(static_cast<size_t>(std::clamp<LRESULT>(copied, 0, length)));
    return win32::Narrow(text);
}

void SetText(HWND window, const std::string& text) {
    const std::wstring wide = win32::Widen(text);
    if (!Ask(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()), "setting a text")) {
        throw DriverError(Describe(window) + " refused the text \"" + text + "\"");
    }
}

bool IsVisible(HWND window) {
    return IsWindowVisible(window) != FALSE;
}
bool IsEnabled(HWND window) {
    return IsWindowEnabled(window) != FALSE;
}
LONG Style(HWND window) {
    return GetWindowLongW(window, GWL_STYLE);
}
LONG ExStyle(HWND window) {
    return GetWindowLongW(window, GWL_EXSTYLE);
}

RECT ClientRectInParent(HWND child, HWND topLevel) {
    RECT rect{};
    if (!GetWindowRect(child, &rect)) {
        throw DriverError("no rectangle for " + Describe(child) + ": not a window");
    }
    MapWindowPoints(HWND_DESKTOP, topLevel, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void Click(HWND button) {
    if (!IsWindow(button)) throw DriverError("cannot click " + Describe(button));
    if (!IsVisible(button)) throw DriverError("cannot click the hidden " + Describe(button));
    if (!IsEnabled(button)) throw DriverError("cannot click the disabled " + Describe(button));
    Act(button, BM_CLICK, 0, 0, "clicking a button");
}

bool IsChecked(HWND button) {
    return Ask(button, BM_GETCHECK, 0, 0, "reading a check box") == BST_CHECKED;
}

void SetChecked(HWND button, bool checked) {
    if (IsChecked(button) == checked) return;
    Click(button);
    if (IsChecked(button) != checked) {
        throw DriverError(Describe(button) + " is still " + (checked ? "unchecked" : "checked") +
                          " after a click");
    }
}

std::vector<std::string> ComboItems(HWND combo) {
    const LRESULT count = Ask(combo, CB_GETCOUNT, 0, 0, "counting combo box items");
    std::vector<std::string> items;
    for (int i = 0; i < count; ++i) {
        items.push_back(ItemText(combo, CB_GETLBTEXTLEN, CB_GETLBTEXT, i, "reading combo items"));
    }
    return items;
}

std::string ComboText(HWND combo) {
    return Text(combo);
}

int ComboSelection(HWND combo) {
    return static_cast<int>(Ask(combo, CB_GETCURSEL, 0, 0, "reading a combo box selection"));
}

void SelectComboItem(HWND combo, const std::string& item) {
    const auto items = ComboItems(combo);
    const auto found = std::find(items.begin(), items.end(), item);
    if (found == items.end()) {
        throw DriverError(Describe(combo) + " has no item \"" + item +
                          "\"; its items: " + Quoted(items));
    }
    const auto index = found - items.begin();
    if (Ask(combo, CB_SETCURSEL, index, 0, "selecting a combo box item") != index) {
        throw DriverError(Describe(combo) + " did not select \"" + item + "\"");
    }
    internal::NotifyParent(combo, CBN_SELCHANGE, "telling a combo box selection");
}

int TabCount(HWND tabs) {
    return static_cast<int>(Ask(tabs, TCM_GETITEMCOUNT, 0, 0, "counting tabs"));
}

int CurrentTab(HWND tabs) {
    return static_cast<int>(Ask(tabs, TCM_GETCURSEL, 0, 0, "reading the current tab"));
}

std::vector<std::string> TabNames(HWND tabs) {
    constexpr size_t kChars = 256;
    // TCM_GETITEMW writes through pointers, so the item and its text buffer live in the target.
    internal::RemoteBuffer remote(tabs, sizeof(TCITEMW) + kChars * sizeof(wchar_t));
    std::vector<std::string> names;
    const int count = TabCount(tabs);
    for (int i = 0; i < count; ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = reinterpret_cast<wchar_t*>(remote.Address() + sizeof(TCITEMW));
        item.cchTextMax = static_cast<int>(kChars);
        const wchar_t none = L'\0';
        remote.Write(&none, sizeof none, sizeof(TCITEMW));
        remote.Write(&item, sizeof item);
        if (!Ask(tabs, TCM_GETITEMW, i, remote.Address(), "reading a tab's name")) {
            throw DriverError(Describe(tabs) + " has no tab " + std::to_string(i));
        }
        wchar_t text[kChars];
        remote.Read(text, sizeof text, sizeof(TCITEMW));
        text[kChars - 1] = L'\0';
        names.push_back(win32::Narrow(text, wcslen(text)));
    }
    return names;
}

void SelectTab(HWND tabs, int index) {
    const int count = TabCount(tabs);
    if (index < 0 || index >= count) {
        throw DriverError(Describe(tabs) + " has no tab " + std::to_string(index) + " (it has " +
                          std::to_string(count) + ")");
    }
    if (CurrentTab(tabs) == index) return;
    // The tab control notifies only when it already had a focus item; the first call may merely
    // give it one, so a second call is needed then.
    for (int attempt = 0; attempt < 2 && CurrentTab(tabs) != index; ++attempt) {
        Act(tabs, TCM_SETCURFOCUS, index, 0, "selecting a tab");
    }
    if (CurrentTab(tabs) != index) {
        throw DriverError(Describe(tabs) + " stayed on tab " + std::to_string(CurrentTab(tabs)) +
                          " when tab " + std::to_string(index) + " was selected");
    }
}

std::vector<std::string> ListBoxItems(HWND list) {
    const LRESULT count = Ask(list, LB_GETCOUNT, 0, 0, "counting list box items");
    std::vector<std::string> items;
    for (int i = 0; i < count; ++i) {
        items.push_back(ItemText(list, LB_GETTEXTLEN, LB_GETTEXT, i, "reading list box items"));
    }
    return items;
}

std::vector<int> ListBoxSelection(HWND list) {
    std::vector<int> selected;
    if (!IsMultiSelect(list)) {
        const LRESULT index = Ask(list, LB_GETCURSEL, 0, 0, "reading a list box selection");
        if (index != LB_ERR) selected.push_back(static_cast<int>(index));
        return selected;
    }
    const LRESULT count = Ask(list, LB_GETCOUNT, 0, 0, "counting list box items");
    for (int i = 0; i < count; ++i) {
        if (Ask(list, LB_GETSEL, i, 0, "reading a list box selection") > 0) selected.push_back(i);
    }
    return selected;
}

void ListBoxSelect(HWND list, const std::vector<int>& indexes) {
    const LRESULT count = Ask(list, LB_GETCOUNT, 0, 0, "counting list box items");
    for (int index : indexes) {
        if (index < 0 || index >= count) {
            throw DriverError(Describe(list) + " has no item " + std::to_string(index) +
                              " (it has " + std::to_string(count) + ")");
        }
    }
    if (IsMultiSelect(list)) {
        Ask(list, LB_SETSEL, FALSE, -1, "clearing a list box selection");
        for (int index : indexes) Ask(list, LB_SETSEL, TRUE, index, "selecting list box items");
        if (!indexes.empty()) Ask(list, LB_SETCARETINDEX, indexes.back(), FALSE, "moving a caret");
    } else {
        if (indexes.size() > 1) {
            throw DriverError(Describe(list) + " is a single-selection list box; cannot select " +
                              std::to_string(indexes.size()) + " items");
        }
        Ask(list, LB_SETCURSEL, indexes.empty() ? -1 : indexes.front(), 0,
            "selecting a list box item");
    }
    NotifyListBox(list, LBN_SELCHANGE, "telling a list box selection");
}

void DoubleClickListItem(HWND list, int index) {
    ListBoxSelect(list, {index});
    NotifyListBox(list, LBN_DBLCLK, "double-clicking a list box item");
}

std::pair<DWORD, DWORD> EditSelection(HWND edit) {
    // Null parameters: the result carries both ends, and no pointer has to cross processes.
    const auto result = static_cast<DWORD>(Ask(edit, EM_GETSEL, 0, 0, "reading a selection"));
    return {LOWORD(result), HIWORD(result)};
}

void TypeText(HWND window, const std::string& text) {
    for (wchar_t c : win32::Widen(text)) Ask(window, WM_CHAR, c, 1, "typing");
}

void PressKey(HWND window, UINT virtualKey) {
    const UINT scan = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    const LPARAM down = 1 | (static_cast<LPARAM>(scan) << 16);
    const LPARAM up = down | (1 << 30) | (static_cast<LPARAM>(1) << 31);
    if (!PostMessageW(window, WM_KEYDOWN, virtualKey, down) ||
        !PostMessageW(window, WM_KEYUP, virtualKey, up)) {
        throw DriverError("cannot post a key to " + Describe(window));
    }
}

HWND FocusedControl(const Process& process) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(process.MainThreadId(), &info)) {
        const DWORD error = GetLastError();
        throw DriverError("no focus information for process " + std::to_string(process.Id()) +
                          ": error " + std::to_string(error) + " (" + win32::SystemMessage(error) +
                          ")");
    }
    return info.hwndFocus;
}

}  // namespace vellum::e2e
