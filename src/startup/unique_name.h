#pragma once

#include <optional>
#include <string>

#include "toolkit/file_system.h"

namespace vellum::startup {

// Reserves a PDF name in `folder` that no file has: "<name>.pdf", else "<name> (2).pdf",
// "<name> (3).pdf", ... The name is taken by creating it as an empty file, so that two jobs at
// once never get the same one and an existing PDF is never replaced; the caller owns that file
// (it is to be replaced by the PDF, or removed when none is made). Nothing when no name was
// free after many tries. Throws RuntimeError when the folder cannot be written.
std::optional<std::string> ReserveUniquePdfPath(toolkit::FileSystem& files,
                                                const std::string& folder, const std::string& name);

}  // namespace vellum::startup
