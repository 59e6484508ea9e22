#pragma once

#include <string>

namespace vellum::toolkit {

// A moment of the local clock.
struct LocalTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// The circumstances the process runs in: whether anyone can see its windows, who it runs as,
// and the time.
class Session {
public:
    virtual ~Session() = default;
    // False on a window station no one sees (a service's, a print server's job run as SYSTEM):
    // a window there waits for a click that never comes. Never throws.
    virtual bool CanShowWindows() = 0;
    // The account the process runs as; "" when it cannot be told. Never throws.
    virtual std::string UserName() = 0;
    virtual LocalTime Now() = 0;
    // Seconds from some fixed moment, for durations.
    virtual double Seconds() = 0;
};

// "yyyy-mm-dd hh:mm:ss" with `timeSeparator` between the parts of the time.
std::string FormatLocalTime(const LocalTime& time, char timeSeparator);

}  // namespace vellum::toolkit
