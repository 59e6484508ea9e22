#pragma once

// The progress window's title and control ids; shared with the end-to-end tests that drive it.

namespace vellum::convert::ids {

inline constexpr const char* kProgressTitle = "Vellum";
inline constexpr int kProgressWhat = 1101;  // "Converting the print job to"
inline constexpr int kProgressPdf = 1102;   // the PDF's path
inline constexpr int kProgressTime = 1103;  // "Time so far: 0:07"
inline constexpr int kProgressCancel = 2;   // IDCANCEL: Esc presses it too

}  // namespace vellum::convert::ids
