#pragma once

// The name a PDF is proposed under, made from the document's name that the print job carries.
// docs/document-names.md lists the rules with an example each.

#include <cstddef>
#include <string>
#include <string_view>

#include "toolkit/file_system.h"
#include "toolkit/process_environment.h"

namespace vellum::startup {

// How much of the job is searched for its %%Title: comment.
inline constexpr size_t kTitleSearchBytes = 64 * 1024;

// The document's name: `redmonDocName` (what the port monitor was told by the printing
// application) unless it is empty or the monitor's own placeholder "RedMon"; else the job's
// %%Title: comment found in `jobHead`; else "".
std::string DocumentTitle(const std::string& redmonDocName, const std::string& jobHead);

// DocumentTitle for the job at `jobPath`, from what the port monitor put in this process's
// environment (REDMON_DOCNAME) and the start of the job.
std::string JobDocumentTitle(toolkit::ProcessEnvironment& environment, toolkit::FileSystem& files,
                             const std::string& jobPath);

// The text of the first "%%Title:" comment line in `postScript`: a PostScript string "(...)"
// with its escapes decoded, or the bare text to the end of the line. A title that is not UTF-8
// is taken as UTF-16 when it starts with a byte-order mark, else as Windows' Western code page.
std::string DscTitle(const std::string& postScript);

// The text of the first comment line that starts with `key` ("%%Creator:"), read as DscTitle
// reads the title.
std::string DscComment(const std::string& postScript, std::string_view key);

// A file name (without extension) made from `title` by the name rules: the application prefix
// and a document extension dropped, characters Windows forbids replaced, blanks collapsed,
// blanks and dots trimmed, a device name never left as it is, and cut on a character boundary
// so that `folder`, a backslash, the name and ".pdf" fit in a classic Windows path. "" when
// nothing is left. `folder` may be "" when the folder is not known yet.
std::string PdfNameFor(const std::string& title, const std::string& folder);

// `name` with "_" after its part before the first dot when that part is a device name (CON,
// AUX, NUL, COM1-9, LPT1-9..., in any case), which Windows would take for the device.
std::string NotADeviceName(std::string name);

}  // namespace vellum::startup
