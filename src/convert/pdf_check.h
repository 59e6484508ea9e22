#pragma once

#include <string>

#include "toolkit/file_system.h"

namespace vellum::convert {

// How much of a PDF's end is searched for its trailer.
inline constexpr std::size_t kPdfTailBytes = 1024;

// True when `head` (a file's first bytes) begins with "%PDF-" and `tail` (its last kilobyte)
// holds "startxref" followed by "%%EOF": what a PDF writer puts last, so a file cut short by
// a full disk or a failed close lacks it.
bool LooksLikeWholePdf(const std::string& head, const std::string& tail);

// LooksLikeWholePdf on the file `path`, after its data was flushed to the disk; false when the
// flush fails.
bool IsWholePdf(toolkit::FileSystem& files, const std::string& path);

}  // namespace vellum::convert
