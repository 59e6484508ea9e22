#pragma once

// Control ids of the configuration window; shared with the end-to-end tests that drive it.

namespace vellum::config::ids {

inline constexpr int kTabs = 1000;  // ssConfig
inline constexpr int kAbout = 1001;
inline constexpr int kSave = 1002;
inline constexpr int kCancel = 1003;
inline constexpr int kWaitingJob = 1004;  // the line that says a print job waits

inline constexpr int kFrameGs = 1010;
inline constexpr int kLabelGsDir = 1011;
inline constexpr int kBrowseGsExe = 1012;  // cmdBrowse(0)
inline constexpr int kGsDir = 1013;        // txtgsdir
inline constexpr int kLabelGsFonts = 1014;
inline constexpr int kBrowseGsFonts = 1015;  // cmdBrowse(1)
inline constexpr int kGsFonts = 1016;        // txtgsfonts
inline constexpr int kLabelGsLib = 1017;
inline constexpr int kBrowseGsLib = 1018;  // cmdBrowse(2)
inline constexpr int kGsLib = 1019;        // txtgslib

inline constexpr int kFrameRm = 1020;
inline constexpr int kLabelRrExe = 1021;
inline constexpr int kBrowseRm = 1022;  // cmdBrowseRM
inline constexpr int kRrExe = 1023;     // txtRRexe
inline constexpr int kLabelRmPort = 1024;
inline constexpr int kPorts = 1025;  // cmbPorts

inline constexpr int kFrameVellum = 1030;
inline constexpr int kMail = 1031;  // chkMail
inline constexpr int kLabelPdfDir = 1032;
inline constexpr int kBrowsePdfDir = 1033;  // cmdPDFDir
inline constexpr int kPdfDir = 1034;        // txtPDFDir

inline constexpr int kFrameSaving = 1040;
inline constexpr int kLabelWhenPrinted = 1041;
inline constexpr int kAskWhere = 1042;  // optAsk
inline constexpr int kSaveAuto = 1043;  // optAuto
inline constexpr int kAutoDir = 1044;   // txtAutoDir
inline constexpr int kBrowseAutoDir = 1045;
inline constexpr int kOpenPdf = 1046;  // chkOpenPdf
inline constexpr int kLabelQuality = 1047;
inline constexpr int kQuality = 1048;  // cmbQuality
inline constexpr int kPdfA = 1049;     // chkPdfA
inline constexpr int kLabelAutoName = 1050;
inline constexpr int kAutoName = 1051;  // txtAutoName
inline constexpr int kAutoNameTokens = 1052;
inline constexpr int kLabelExisting = 1053;
inline constexpr int kUnique = 1054;  // optUnique
inline constexpr int kAppend = 1055;  // optAppend

}  // namespace vellum::config::ids
