#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "convert/document_info.h"
#include "convert/process_runner.h"
#include "convert/progress.h"
#include "convert/run_report.h"
#include "settings/settings.h"
#include "toolkit/file_system.h"
#include "toolkit/msg_box.h"

namespace vellum::convert {

// Where a conversion's PDF goes.
struct PdfTarget {
    std::string path;
    // Saved without asking: the folder is made as needed, and the PDF takes `path` or its first
    // free numbered name (ReserveUniquePdfPath), never replacing a file. Otherwise a file at
    // `path` is replaced, once the PDF is whole.
    bool neverReplace = false;
    // Saved without asking: the part of the folder made for `user` ("" for none), made with
    // that user's rights and checked by handle before anything is written (MakeTrustedFolder).
    std::string userFolder = {};
    std::string user = {};
    // Seconds after which Ghostscript is ended, where no one can cancel it; 0 for no limit.
    int timeLimitSeconds = 0;
    // The job's pages go at the end of the PDF at `path` (made when missing), one job at a
    // time (TakeAddingTurn); its whole result replaces it. Saved without asking, a file there
    // that cannot take pages (WhyPagesCannotBeAdded) is kept and the PDF takes a free name.
    bool addPages = false;
    bool vellumsOwn = false;  // `userFolder` lies in Vellum's own machine folders
};

enum class Outcome {
    Written,         // the PDF is at `pdfPath`
    Cancelled,       // the user cancelled the conversion
    Failed,          // no PDF was made; a file at the target is as it was
    FolderUnusable,  // saved without asking: the folder cannot take the PDF (it cannot be made,
                     // may not be written in, or is full); nothing was left there
};

// A message for the person at the screen.
struct Message {
    std::string text;
    std::string title;
    toolkit::Icon icon = toolkit::Icon::Error;
};

// What became of one conversion: the one way out of ConvertToPdf.
struct ConversionResult {
    Outcome outcome = Outcome::Failed;
    std::string pdfPath;                    // where the PDF is, or was to be
    std::optional<std::uint32_t> exitCode;  // Ghostscript's, when it ran to its end
    // For the log: Ghostscript's line that says what went wrong, or why it did not run; for
    // FolderUnusable, why the folder cannot take the PDF.
    std::string logLine;
    std::optional<Message> message;  // what the user is to be told, success or not
    std::string note = {};           // for the log alone: how the PDF's folder was made
};

struct ConvertServices {
    ProcessRunner& runner;
    toolkit::FileSystem& files;
    toolkit::MsgBox& msgBox;  // asks to close a PDF another program holds
    ProgressWindow& progress;
};

// Runs Ghostscript, hidden, on the job with `settings` and waits for it, showing the progress
// window when it takes long. Ghostscript writes a temporary file beside the PDF (held open to
// the end) and gets a temporary folder of its own; only a run that exits with 0 and leaves a
// whole PDF (IsWholePdf) puts that file in place, in one move. When another program has the
// PDF to be replaced open, the user is asked to close it and Retry as often as needed; where
// no one can be asked, the PDF is saved beside it under a free name. Leftovers of earlier runs
// are removed first (RemoveLeftovers). The quality preset and PDF/A of `settings` are applied
// (see GhostscriptCommandLine), and so are the document's properties `info`. Shows nothing
// itself but that question: the caller tells the result's message.
ConversionResult ConvertToPdf(ConvertServices& services, const settings::SettingsRecord& settings,
                              const PdfTarget& target, const std::string& psPath,
                              const DocumentInfo& info = {});

// Shows the result's message, when it has one.
void Tell(toolkit::MsgBox& msgBox, const ConversionResult& result);

// What the user is told when PDF/A-2b was asked for and Ghostscript's sRGB profile is missing:
// the PDF is made all the same (a document is never lost for it), as an ordinary PDF.
std::string MissingProfileNote(const std::string& pdfPath, const std::string& gsLib);

// The name Ghostscript writes to before its PDF replaces `pdfPath`: beside it, so that the
// move stays on one volume, "<name>.<8 hex digits of `unique`>.vellum-tmp". The name part is
// shortened where the whole would pass the classic path limit (259 characters).
std::string TemporaryPathFor(const std::string& pdfPath, std::uint32_t unique);

}  // namespace vellum::convert
