#pragma once

#include <string>
#include <vector>

#include "toolkit/app_info.h"

namespace vellum::win32 {

// The running executable's folder and name, and the version from its own version resource.
toolkit::AppInfo ReadAppInfo();
// The same of the executable at `path`.
toolkit::AppInfo ReadAppInfo(const std::wstring& path);

// The running executable's full path, and its short (8.3) form when the volume keeps one: the
// forms a parent may have written, unquoted, at the start of this program's command line.
std::vector<std::string> OwnPaths();

}  // namespace vellum::win32
