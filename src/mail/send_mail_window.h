#pragma once

namespace vellum::mail {

// The one send-mail window of the process, as start-up reaches it.
class SendMailWindow {
public:
    virtual ~SendMailWindow() = default;
    // Creates the window when needed and shows it, modeless. A failure of its load handler
    // reaches the caller as a RuntimeError; the window is shown all the same.
    virtual void Show() = 0;
};

}  // namespace vellum::mail
