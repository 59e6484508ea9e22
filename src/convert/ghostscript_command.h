#pragma once

#include <optional>
#include <string>

#include "convert/document_info.h"
#include "settings/settings.h"
#include "toolkit/file_system.h"

namespace vellum::convert {

// `text` in double quotes, escaped so that the Windows command-line rules give it back whole:
// a quote inside is escaped, and backslashes are doubled where they precede a quote (the
// closing one included, so that a folder ending in "\" parses).
std::string Quoted(const std::string& text);

// The program a command line names: its first word as the system reads it (up to the closing
// quote when it starts with one, else up to the first space or tab), without quotes.
std::string ProgramOf(const std::string& commandLine);

// `path` as -sOutputFile takes it literally: Ghostscript reads "%d" and the like in it as a
// page-number format (one file per page), and "%%" as one "%". Only the output file is read so:
// -I folders, the job and the environment take "%" as it is.
std::string LiteralOutputFile(const std::string& path);

// The Ghostscript command line that turns the job into the PDF:
// "<gsExe>" -I"<gsLib>;<gsFonts>" -sDEVICE=pdfwrite ... -sOutputFile="<out>" -c save pop -f "<ps>"
// `outputFile` is as Ghostscript takes it: a path (see LiteralOutputFile) or a device it opens
// ("%handle%<hex>").
// A quality preset other than "default" adds -dPDFSETTINGS=/<preset>. A non-empty
// `pdfaProfile` (an sRGB ICC profile) makes a PDF/A-2b: Ghostscript's PDF/A switches, colour
// converted to RGB, and a prologue that makes the profile the document's output intent.
// A non-empty `pagesBefore` (an existing PDF, named for reading under SAFER) is read before the
// job, so that its pages come first. The properties of `info` are set after the job, so that
// the job's own %%Title and %%Creator comments, which Ghostscript takes too, give way to them.
std::string GhostscriptCommandLine(const settings::SettingsRecord& settings,
                                   const std::string& outputFile, const std::string& psPath,
                                   const std::string& pdfaProfile = "",
                                   const std::string& pagesBefore = "",
                                   const DocumentInfo& info = {});

// The sRGB profile a Ghostscript installation ships, found from its lib folder: the
// "iccprofiles" folder beside it holds "srgb.icc" (else "default_rgb.icc"). Nothing when
// neither is there.
std::optional<std::string> FindSrgbProfile(toolkit::FileSystem& files, const std::string& gsLib);

}  // namespace vellum::convert
