#pragma once

#include <optional>
#include <string>

#include "toolkit/file_system.h"
#include "toolkit/msg_box.h"

namespace vellum::startup {

// The print job as Ghostscript is to get it: its full path, so that a job named "-x.ps" can
// never be taken for a switch. When `jobPath` names no file, or an empty one, it shows one
// message titled "Error!" that names the path and returns nothing: there is then nothing to
// ask a PDF name for.
std::optional<std::string> CheckJobFile(toolkit::FileSystem& files, toolkit::MsgBox& msgBox,
                                        const std::string& jobPath);

}  // namespace vellum::startup
