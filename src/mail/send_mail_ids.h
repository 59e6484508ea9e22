#pragma once

// Control ids of the send-mail window; shared with the end-to-end tests that drive it.

namespace vellum::mail::ids {

inline constexpr int kDrives = 2000;    // drivePDF
inline constexpr int kFolders = 2001;   // dirPDF
inline constexpr int kFiles = 2002;     // filePDF
inline constexpr int kSendMail = 2003;  // cmdSendMail

}  // namespace vellum::mail::ids
