#pragma once

#include <windows.h>

#include <functional>

#include "toolkit/program.h"

namespace vellum::win32 {

// True while a window of this thread is visible on screen.
bool AnyWindowVisible();

// The program ends when its last window has closed.
inline void EndWhenNoWindowIsLeft(toolkit::Program& program) {
    if (!AnyWindowVisible()) program.End();
}

// Ends the message loop and hides every window at once.
class Program : public toolkit::Program {
public:
    void End() override;
    bool Ended() const { return ended_; }

private:
    bool ended_ = false;
};

// Processes the window events that are waiting, once.
void DoEvents();

// Runs the message loop until the program ends, with dialog navigation (Tab, access keys) in
// every window.
int RunMessageLoop(const Program& program);

// Runs the same loop inside a caller that must wait for a window: until `done` holds after a
// message. False when the program was ended first (the quit message is then posted again, so
// that every loop around this one ends too).
bool RunMessageLoopUntil(const std::function<bool()>& done);

}  // namespace vellum::win32
