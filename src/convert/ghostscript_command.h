#pragma once

#include <string>

#include "settings/settings.h"

namespace vellum::convert {

// `text` in double quotes, escaped so that the Windows command-line rules give it back whole:
// a quote inside is escaped, and backslashes are doubled where they precede a quote (the
// closing one included, so that a folder ending in "\" parses).
std::string Quoted(const std::string& text);

// The program a command line names: its first word as the system reads it (up to the closing
// quote when it starts with one, else up to the first space or tab), without quotes.
std::string ProgramOf(const std::string& commandLine);

// The Ghostscript command line that turns the job into the PDF:
// "<gsExe>" -I"<gsLib>;<gsFonts>" -sDEVICE=pdfwrite ... -sOutputFile="<out>" -c save pop -f "<ps>"
// `outputFile` is a path or a device Ghostscript opens ("%handle%<hex>").
std::string GhostscriptCommandLine(const settings::SettingsRecord& settings,
                                   const std::string& outputFile, const std::string& psPath);

}  // namespace vellum::convert
