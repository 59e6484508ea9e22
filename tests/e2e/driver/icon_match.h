#pragma once

#include <windows.h>

#include "driver/dialogs.h"

namespace vellum::e2e::internal {

// Which standard icon a message box shows. An icon handle of another process cannot be read
// here (under Wine GetIconInfo rejects it with error 1402, and our own LoadIcon gives another
// handle), so the icon is recognised by what a user sees: the pixels of its static control on
// the screen, compared with each standard icon drawn here over the same background. Throws
// DriverError when no standard icon matches.
Icon MessageBoxIcon(HWND box);

}  // namespace vellum::e2e::internal
