#pragma once

#include <string>

#include "convert/process_runner.h"
#include "settings/settings.h"
#include "toolkit/file_system.h"
#include "toolkit/msg_box.h"

namespace vellum::convert {

// Runs Ghostscript, hidden, on the job with `settings` and waits for it. True only
// when it started, exited with 0 and the PDF exists; otherwise one message box tells why.
bool ConvertToPdf(ProcessRunner& runner, toolkit::FileSystem& files, toolkit::MsgBox& msgBox,
                  const settings::SettingsRecord& settings, const std::string& pdfPath,
                  const std::string& psPath);

// The last lines of a program's output, at most `maxLines` lines and about `maxChars`
// characters, line breaks as CRLF.
std::string OutputTail(const std::string& output, size_t maxLines = 20, size_t maxChars = 2000);

}  // namespace vellum::convert
