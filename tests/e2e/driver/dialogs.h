#pragma once

// Message boxes and the common file dialogs (Save As, Open) of a driven process.

#include <windows.h>

#include <chrono>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "driver/process.h"

namespace vellum::e2e {

enum class Icon { None, Error, Information, Warning, Question };
const char* IconName(Icon icon);
std::ostream& operator<<(std::ostream& out, Icon icon);

struct MessageBoxInfo {
    HWND hwnd = nullptr;
    std::string title;
    std::string text;
    Icon icon = Icon::None;
    std::vector<std::string> buttons;  // captions in order, "&Yes" with its mnemonic
};

// A visible message box of the process (a dialog with the message text control), read.
// FindMessageBox looks once and returns nothing when there is none.
std::optional<MessageBoxInfo> FindMessageBox(const Process& process);
MessageBoxInfo WaitForMessageBox(const Process& process,
                                 std::chrono::milliseconds timeout = kDefaultTimeout);
MessageBoxInfo ReadMessageBox(HWND box);
// Waits for the process's end and returns its exit code. A message box shown meanwhile fails at
// once with its whole title and text: a program that reports a failure and waits for its OK
// would otherwise only show up as a time-out.
DWORD WaitForSilentExit(const Process& process,
                        std::chrono::milliseconds timeout = kDefaultTimeout);
// Presses OK (IDOK) and waits until the box is gone. Throws when the box has no OK button (a
// Yes/No prompt would take IDOK as an answer it never offered).
void CloseMessageBox(HWND box);

// Presses the dialog button with the given id (IDOK, IDCANCEL, IDYES...) without waiting for the
// dialog's handler.
void PressDialogButton(HWND dialog, int id);

// A visible common file dialog (Save As or Open) of the process.
HWND WaitForFileDialog(const Process& process, std::chrono::milliseconds timeout = kDefaultTimeout);
// Types `fileNameOrPath` into the dialog's file name field and presses its OK button. Does not
// wait: the dialog may answer with a message box (overwrite prompt, invalid name).
void SubmitFileDialog(HWND dialog, const std::string& fileNameOrPath);
// Waits for the Save As (or Open) dialog, submits the name, and waits until the dialog is gone.
void AnswerSaveAs(const Process& process, const std::string& fileNameOrPath,
                  std::chrono::milliseconds timeout = kDefaultTimeout);
void AnswerOpen(const Process& process, const std::string& fileNameOrPath,
                std::chrono::milliseconds timeout = kDefaultTimeout);
// Presses Cancel (IDCANCEL) in any dialog and waits until it is gone.
void CancelDialog(HWND dialog);

// The dialog's current folder as a Windows path (CDM_GETFOLDERPATH).
std::string DialogFolder(HWND dialog);
// The text in the dialog's file name field.
std::string DialogFileName(HWND dialog);
// The items of the file type list ("PDF Files (*.pdf)", ...).
std::vector<std::string> DialogFileTypes(HWND dialog);

}  // namespace vellum::e2e
