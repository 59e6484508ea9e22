#pragma once

#include <string>

#include "settings/settings.h"

namespace vellum::convert {

// `text` in double quotes, escaped so that the Windows command-line rules give it back whole:
// a quote inside is escaped, and backslashes are doubled where they precede a quote (the
// closing one included, so that a folder ending in "\" parses).
std::string Quoted(const std::string& text);

// The Ghostscript command line that turns the job into the PDF:
// "<gsExe>" -I"<gsLib>;<gsFonts>" -sDEVICE=pdfwrite ... -sOutputFile="<pdf>" -c save pop -f "<ps>"
std::string GhostscriptCommandLine(const settings::SettingsRecord& settings,
                                   const std::string& pdfPath, const std::string& psPath);

}  // namespace vellum::convert
