#pragma once

#include <optional>
#include <string>

#include "toolkit/file_system.h"

namespace vellum::convert {

// The classic limits a PDF's path keeps to, so that every program can open it.
inline constexpr int kPathLimit = 259;       // MAX_PATH less its closing NUL
inline constexpr int kComponentLimit = 255;  // one name in a path, on NTFS and FAT alike

// `pdfPath` ("<folder>\<name>.pdf") as its `number`th candidate: itself for 1, else
// "<name> (<number>).pdf", the name cut on a character's start so that the whole path and the
// file's name, number included, stay within the classic limits.
std::string NumberedPdfPath(const std::string& pdfPath, int number);

// Puts the finished file `from` at `pdfPath`, or at its first free numbered name
// (NumberedPdfPath), never replacing a file or folder: each name is reserved by the move
// itself, so two jobs finishing at once never take the same one and no empty file ever stands
// for a PDF. The path taken; nothing when no name was free after many tries. Throws
// RuntimeError when the move fails for another reason.
std::optional<std::string> ReserveUniquePdfPath(toolkit::FileSystem& files, const std::string& from,
                                                const std::string& pdfPath);

}  // namespace vellum::convert
