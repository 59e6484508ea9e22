#pragma once

// What the driver's test target shows: shared by the target and the self-test that drives it.

namespace vellum::e2e::target {

inline constexpr const char* kTitle = "Driver Target";

inline constexpr int kEdit = 101;
inline constexpr int kErrorButton = 102;
inline constexpr int kInfoButton = 103;
inline constexpr int kCheck = 104;
inline constexpr int kCombo = 105;
inline constexpr int kTabs = 106;
inline constexpr int kList = 107;
inline constexpr int kSaveButton = 108;
inline constexpr int kOpenButton = 109;
// The last event the target heard, as "name:value": what proves a notification arrived.
inline constexpr int kStatus = 110;
// One edit per tab page, inside a page container (so that lookups must search descendants).
inline constexpr int kPageEditFirst = 201;

inline constexpr const char* kErrorText = "Something failed.\r\nSecond line.";
inline constexpr const char* kErrorTitle = "Target Error";
inline constexpr const char* kInfoText = "All is well.";
inline constexpr const char* kInfoTitle = "Target Info";

// Where the edit sits in the main window's client area.
inline constexpr int kEditLeft = 10, kEditTop = 10, kEditWidth = 200, kEditHeight = 22;

}  // namespace vellum::e2e::target
