#pragma once

#include <chrono>
#include <string>

#include "convert/process_runner.h"

namespace vellum::convert {

// The small window that a long conversion shows: what is being made, the time so far and a
// Cancel button.
class ProgressWindow {
public:
    virtual ~ProgressWindow() = default;
    // Shows the window for the PDF `pdfPath`, with the time "0:00".
    virtual void Open(const std::string& pdfPath) = 0;
    virtual void ShowTime(const std::string& elapsed) = 0;
    // True once the user pressed Cancel or closed the window.
    virtual bool CancelRequested() = 0;
    // Hides the window; nothing when it is not open.
    virtual void Close() = 0;
};

// How long a conversion runs before the window shows: a short job never flashes one.
inline constexpr std::chrono::milliseconds kShowProgressAfter{1000};

// Elapsed time as "m:ss", or "h:mm:ss" from an hour on.
std::string ElapsedText(std::chrono::milliseconds elapsed);

// Shows the window once a conversion has run kShowProgressAfter, keeps its time current, and
// asks for Ghostscript's end when the user cancels or, with a `limit` (0: none), once it has
// run that long. Closes the window when it goes.
class ConversionProgress : public RunObserver {
public:
    ConversionProgress(ProgressWindow& window, std::string pdfPath,
                       std::chrono::seconds limit = std::chrono::seconds(0));
    ConversionProgress(const ConversionProgress&) = delete;
    ConversionProgress& operator=(const ConversionProgress&) = delete;
    ~ConversionProgress() override;

    bool WantsEnd(std::chrono::milliseconds elapsed) override;
    // Whether the end asked for was the time limit's.
    bool TimedOut() const { return timedOut_; }

private:
    ProgressWindow& window_;
    std::string pdfPath_;
    bool open_ = false;
    std::string shownTime_;
    std::chrono::seconds limit_;
    bool timedOut_ = false;
};

}  // namespace vellum::convert
