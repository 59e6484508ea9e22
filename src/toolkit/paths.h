#pragma once

// Windows path pieces, spelled out here because the portable core has no <filesystem> notion
// of a Windows path.

#include <string>

namespace vellum::toolkit {

// Everything before the last backslash (or slash); "" when there is none.
std::string FolderOf(const std::string& path);
// `folder` and `name` joined by one backslash.
std::string JoinPath(const std::string& folder, const std::string& name);
// Whether `path` is full, the same from any current folder: a drive's ("D:\\PDF", "D:/PDF") or
// a share's ("\\\\server\\pdf"); "D:PDF" and "PDF\\out" depend on the current folder.
bool IsFullPath(const std::string& path);
// Case-insensitive comparison of ASCII letters, as Windows compares key, port and printer names.
bool SameName(const std::string& a, const std::string& b);

}  // namespace vellum::toolkit
