#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "convert/process_runner.h"
#include "convert/progress.h"
#include "convert/run_report.h"
#include "settings/settings.h"
#include "toolkit/file_system.h"
#include "toolkit/msg_box.h"

namespace vellum::convert {

// Runs Ghostscript, hidden, on the job with `settings` and waits for it, showing `progress`
// when it takes long. Ghostscript writes a temporary file beside `pdfPath` (held open to the
// end) and gets a temporary folder of its own; only a run that exits with 0 and leaves a whole
// PDF (IsWholePdf) puts that file in place of `pdfPath`, in one move. When another program has
// `pdfPath` open, the user is asked to close it and Retry as often as needed; where no one can
// be asked, the PDF is saved under UniqueNameFor. Otherwise the temporary file goes, a file
// already at `pdfPath` stays as it was, and one message box tells why. Leftovers of earlier
// runs are removed first (RemoveLeftovers). True when the PDF is in place. The quality preset
// and PDF/A of `settings` are applied (see GhostscriptCommandLine).
// `facts`, when given, gets what the run left for the job's log.
struct ConvertFacts {
    std::optional<std::uint32_t> exitCode;  // Ghostscript's, when it ran to its end
    bool cancelled = false;
    std::string errorLine;  // Ghostscript's line that says what went wrong, or why it did not run
};
bool ConvertToPdf(ProcessRunner& runner, toolkit::FileSystem& files, toolkit::MsgBox& msgBox,
                  ProgressWindow& progress, const settings::SettingsRecord& settings,
                  const std::string& pdfPath, const std::string& psPath,
                  ConvertFacts* facts = nullptr);

// `pdfPath` with " (2)", " (3)"... before its extension: the first name that is free.
std::string UniqueNameFor(toolkit::FileSystem& files, const std::string& pdfPath);

// What the user is told when PDF/A-2b was asked for and Ghostscript's sRGB profile is missing:
// the PDF is made all the same (a document is never lost for it), as an ordinary PDF.
std::string MissingProfileNote(const std::string& pdfPath, const std::string& gsLib);

// The name Ghostscript writes to before its PDF replaces `pdfPath`: beside it, so that the
// move stays on one volume, "<name>.<8 hex digits of `unique`>.vellum-tmp". The name part is
// shortened where the whole would pass the classic path limit (259 characters).
std::string TemporaryPathFor(const std::string& pdfPath, std::uint32_t unique);

}  // namespace vellum::convert
