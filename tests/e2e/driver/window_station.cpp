#include "driver/window_station.h"

namespace vellum::e2e {

UnseenStation::UnseenStation() {
    station_ = CreateWindowStationW(L"VellumUnseen", 0, WINSTA_ALL_ACCESS, nullptr);
    const HWINSTA own = GetProcessWindowStation();
    if (station_ == nullptr || !SetProcessWindowStation(station_)) return;
    desktop_ = CreateDesktopW(L"Default", nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    const DWORD error = GetLastError();
    SetProcessWindowStation(own);
    SetLastError(error);
}

UnseenStation::~UnseenStation() {
    if (desktop_) CloseDesktop(desktop_);
    if (station_) CloseWindowStation(station_);
}

}  // namespace vellum::e2e
