#pragma once

#include "toolkit/elevation.h"
#include "toolkit/session.h"

namespace vellum::win32 {

class Session : public toolkit::Session {
public:
    // WSF_VISIBLE of the process's window station (GetUserObjectInformationW, UOI_FLAGS); a
    // station that cannot be asked counts as visible, as every program assumed before.
    bool CanShowWindows() override;
    std::string UserName() override;  // GetUserNameW
    toolkit::LocalTime Now() override;
    double Seconds() override;
};

class Elevation : public toolkit::Elevation {
public:
    // TokenElevation of the process's token.
    bool IsElevated() override;
    // ShellExecuteExW with the "runas" verb on this program's own file, hidden, then waits for
    // it; ERROR_CANCELLED from it is the user's (or the policy's) no.
    toolkit::ElevatedRun RunElevated(const std::string& parameters) override;
};

}  // namespace vellum::win32
