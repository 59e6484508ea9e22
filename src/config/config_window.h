#pragma once

// The one configuration window of the process, as start-up reaches it. Every operation
// creates the window on first use, which runs its load handler; a failure of that handler
// reaches the caller as a RuntimeError.

#include <string>

#include "toolkit/common_dialog.h"
#include "toolkit/msg_box.h"

namespace vellum::config {

enum class ConfigTab { Ghostscript = 0, RedMon = 1, Vellum = 2, Saving = 3 };
enum class ConfigField { GsExe, GsLib, PdfDir, AutoDir };

// The line the held window shows, and the question asked before the waiting job is discarded.
std::string WaitingJobLine(const std::string& document);
std::string DiscardJobQuestion(const std::string& document);

// How a held window was closed.
enum class ConfigOutcome {
    Saved,   // Save stored the settings and bound the port, as a Save that ends the program does
    Closed,  // Cancel or the close box: nothing more was stored
    Ended,   // the program was ended meanwhile (an untrapped error was reported)
};

class ConfigWindow {
public:
    virtual ~ConfigWindow() = default;
    virtual void Show() = 0;  // modeless
    virtual void SelectTab(ConfigTab tab) = 0;
    virtual void Focus(ConfigField field) = 0;
    // The window's common dialog; reaching it loads the window hidden.
    virtual toolkit::CommonDialog& Dlg() = 0;
    // Holds the caller while the user works in the shown window: runs its events until it is
    // closed. Its unload then only hides it, instead of ending the program, and unloads it:
    // the next use loads it afresh. The window says in one line that `document` (a print job's
    // name, or "" when it has none) waits for Save; Esc, the close box and Cancel ask before
    // the job is discarded. Meanwhile the window's messages and questions go through `msgBox`,
    // the job's own, which logs them.
    virtual ConfigOutcome HoldUntilClosed(const std::string& document, toolkit::MsgBox& msgBox) = 0;
};

}  // namespace vellum::config
