#pragma once

#include <string>

#include "toolkit/file_system.h"

namespace vellum::convert {

// What a run that was killed leaves behind goes once it is older than this.
inline constexpr std::int64_t kLeftoverAgeSeconds = 24 * 60 * 60;

// "vellum-" and 8 hex digits: a folder CreateTempFolder makes for Ghostscript.
bool IsTempFolderName(const std::string& name);

// "<name>.<8 hex digits>.vellum-tmp": a file Ghostscript writes before it becomes the PDF.
bool IsTemporaryPdfName(const std::string& name);

// Removes this program's own leftovers older than a day: the folders of IsTempFolderName in
// the user's temporary folder, and the files of IsTemporaryPdfName in `pdfFolder` (none when
// it is empty). Each folder is cleaned up at most once a day, marked by a file of its own in
// the temporary folder, so that a job's cost does not grow with the files beside its PDF.
// Links are never followed nor removed, and nothing else is touched.
void RemoveLeftovers(toolkit::FileSystem& files, const std::string& pdfFolder);

// Deletes one leftover by handle (RemoveLeftovers' candidates): `path` is opened without
// following a link and deleted through that handle only when it is what it was listed as (a
// file, or with `folder` a folder), no link, and owned by SYSTEM, Administrators or this
// account (MayRemoveLeftover). A folder is held while what is in it goes: its links as links,
// its folders the same way. False when it was left.
bool RemoveOwnLeftover(toolkit::FileSystem& files, const std::string& path, bool folder);

}  // namespace vellum::convert
