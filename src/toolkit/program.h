#pragma once

#include <functional>

#include "toolkit/error_report.h"

namespace vellum::toolkit {

// The running program as its windows see it.
class Program {
public:
    virtual ~Program() = default;
    // Ends the program at once: every window closes without further events.
    virtual void End() = 0;
};

// Runs an event handler that has no trap of its own: a run-time error escaping it is
// reported the way the platform reports an untrapped error, and the program ends.
inline void RunUntrapped(MsgBox& msgBox, Program& program, const std::function<void()>& handler) {
    try {
        handler();
    } catch (const RuntimeError& e) {
        ReportUntrapped(msgBox, e);
        program.End();
    }
}

}  // namespace vellum::toolkit
