#pragma once

#include <windows.h>

namespace vellum::e2e {

// A window station of its own, "VellumUnseen", with its desktop "Default", as a service's or a
// print server's job gets: Wine clears WSF_VISIBLE for it. Programs started on
// "VellumUnseen\\Default" run where no one sees their windows. Owns both handles; `desktop` is
// null when either could not be made (GetLastError says why).
class UnseenStation {
public:
    UnseenStation();
    UnseenStation(const UnseenStation&) = delete;
    UnseenStation& operator=(const UnseenStation&) = delete;
    ~UnseenStation();

    HDESK Desktop() const { return desktop_; }

private:
    HWINSTA station_ = nullptr;
    HDESK desktop_ = nullptr;
};

}  // namespace vellum::e2e
