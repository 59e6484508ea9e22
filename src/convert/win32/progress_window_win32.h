#pragma once

#include "convert/progress.h"
#include "toolkit/win32/window.h"

namespace vellum::win32 {

// A small top-level window: what is being converted, the time so far, and Cancel. Cancel, Esc
// and the close box all ask for the end of the run; the window itself stays until Close.
class Win32ProgressWindow : public convert::ProgressWindow, private Window {
public:
    void Open(const std::string& pdfPath) override;
    void ShowTime(const std::string& elapsed) override;
    bool CancelRequested() override { return cancelRequested_; }
    void Close() override;

private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void RequestCancel();

    bool cancelRequested_ = false;
};

}  // namespace vellum::win32
