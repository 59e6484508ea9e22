#pragma once

// Pictures of what a test saw, for people to look at; no test compares them.

#include <windows.h>

#include <string>

namespace vellum::e2e {

// Saves the screen area of `window` (a top-level window with its frame) as a 24-bit BMP file
// at `path`, in the driver's code page. Throws DriverError when the picture cannot be taken or
// written.
void SaveWindowImage(HWND window, const std::string& path);

}  // namespace vellum::e2e
