#pragma once

#include <stdexcept>
#include <string>

namespace vellum::e2e {

// Everything the driver cannot do (a window that never came, a control that is not there, a
// target that stopped answering) is thrown as a DriverError. The message says what was awaited,
// for how long, and which top-level windows the process had then, so that a failed end-to-end
// test can be understood from its log alone.
class DriverError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace vellum::e2e
