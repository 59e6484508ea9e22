#pragma once

// Reading and operating controls of another process. Reads go through SendMessageTimeoutW (the
// A messages come back cut across processes under Wine); a target that does not answer within a
// few seconds is reported as a DriverError rather than hanging the test. Actions that may start a
// modal loop in the target (a click that opens a message box) wait only briefly for the handler,
// so the driver never blocks on the target's dialogs.

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "driver/process.h"

namespace vellum::e2e {

// The descendant of `parent` with control id `id` (controls sit inside frames and tab pages).
// Control throws DriverError listing the ids present; FindControl returns nullptr.
HWND Control(HWND parent, int id);
HWND FindControl(HWND parent, int id);

std::string ClassName(HWND window);
std::string Text(HWND window);
// WM_SETTEXT: an edit control tells its parent EN_CHANGE as after typing.
void SetText(HWND window, const std::string& text);

bool IsVisible(HWND window);
bool IsEnabled(HWND window);
LONG Style(HWND window);
LONG ExStyle(HWND window);
// The window's rectangle in the client coordinates of `topLevel`, for layout checks.
RECT ClientRectInParent(HWND child, HWND topLevel);

// Presses a button (BM_CLICK: the button takes the focus and tells its parent BN_CLICKED, and
// an auto check box toggles). Throws when the button is disabled or hidden, as a user could not
// press it either.
void Click(HWND button);
bool IsChecked(HWND button);
// Clicks the check box when its state differs, so the program sees what a user's click does.
void SetChecked(HWND button, bool checked);

// Combo boxes.
std::vector<std::string> ComboItems(HWND combo);
// The text shown in the combo's edit or selection field.
std::string ComboText(HWND combo);
int ComboSelection(HWND combo);
// Selects the item whose text is exactly `item` and tells the parent CBN_SELCHANGE.
void SelectComboItem(HWND combo, const std::string& item);

// Tab controls. SelectTab goes through TCM_SETCURFOCUS, with which the tab control itself sends
// its parent TCN_SELCHANGING/TCN_SELCHANGE, so the program switches its pages as after a click.
int TabCount(HWND tabs);
int CurrentTab(HWND tabs);
std::vector<std::string> TabNames(HWND tabs);
void SelectTab(HWND tabs, int index);

// List boxes. ListBoxSelect sets exactly the given selection (LB_SETSEL in multi-select lists,
// LB_SETCURSEL otherwise) and tells the parent LBN_SELCHANGE.
std::vector<std::string> ListBoxItems(HWND list);
std::vector<int> ListBoxSelection(HWND list);
void ListBoxSelect(HWND list, const std::vector<int>& indexes);
// Selects the item and tells the parent LBN_DBLCLK, as a double click on it does.
void DoubleClickListItem(HWND list, int index);

// Edits.
std::pair<DWORD, DWORD> EditSelection(HWND edit);
// Sends WM_CHAR per UTF-16 unit straight to the control, as typing into it does; returns when
// the control has taken them.
void TypeText(HWND window, const std::string& text);
// Posts WM_KEYDOWN/WM_KEYUP for a virtual key to the window, so that the target's message loop
// sees it (Enter, Escape and Tab act through the dialog manager there). Does not wait: a test
// waits for the key's effect.
void PressKey(HWND window, UINT virtualKey);

// The window that has the keyboard focus in the process's GUI thread, or nullptr.
HWND FocusedControl(const Process& process);

}  // namespace vellum::e2e
