#pragma once

#include "toolkit/app_info.h"

namespace vellum::win32 {

// The running executable's folder and name, and the version from its own version resource.
toolkit::AppInfo ReadAppInfo();

}  // namespace vellum::win32
