#pragma once

// Where the "Redirected Port" monitor keeps its registration and its ports, as Vellum and
// the spooler expect to find them.

namespace vellum::testbed {

inline constexpr const wchar_t* kMonitorName = L"Redirected Port";
inline constexpr const wchar_t* kMonitorKey =
    L"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Redirected Port";
inline constexpr const wchar_t* kPortsKey =
    L"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Redirected Port\\Ports";

}  // namespace vellum::testbed
