#pragma once

// Whether an existing file can take more pages (Add pages, automatic collecting), judged
// before Ghostscript is run on it, and the turn two jobs adding to one PDF take.

#include <memory>
#include <string>

#include "toolkit/file_system.h"

namespace vellum::convert {

// Why a file that starts with `head` (its first bytes) and ends with `tail` (its last bytes)
// cannot take more pages: not a PDF, damaged (cut short), or encrypted (its pages cannot be
// read without a password, and a PDF made from them would lose the protection); "" when it can.
std::string AddPagesProblem(const std::string& head, const std::string& tail);

// AddPagesProblem for the file at `path`.
std::string WhyPagesCannotBeAdded(toolkit::FileSystem& files, const std::string& path);

// What the user is told when `why` keeps pages from being added to `path`.
std::string CannotAddPagesText(const std::string& path, const std::string& why);

// The file beside `pdfPath` whose holder alone adds pages to it: "<pdf>.vellum-lock".
std::string AddingLockPath(const std::string& pdfPath);

// Waits until this job alone may add pages to `pdfPath`, and holds that turn until the result
// goes; the system lets go of it when the process ends. Throws toolkit::RuntimeError when the
// lock file can be neither opened nor made.
std::unique_ptr<toolkit::HeldFile> TakeAddingTurn(toolkit::FileSystem& files,
                                                  const std::string& pdfPath);

}  // namespace vellum::convert
