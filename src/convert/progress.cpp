#include "convert/progress.h"

#include <cstdio>

namespace vellum::convert {

std::string ElapsedText(std::chrono::milliseconds elapsed) {
    const long long total = std::chrono::duration_cast<std::chrono::seconds>(elapsed).count();
    const long long hours = total / 3600;
    const long long minutes = total / 60 % 60;
    const long long seconds = total % 60;
    char text[32];
    if (hours > 0)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", hours, minutes, seconds);
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", minutes, seconds);
    return text;
}

ConversionProgress::ConversionProgress(ProgressWindow& window, std::string pdfPath,
                                       std::chrono::seconds limit)
    : window_(window), pdfPath_(std::move(pdfPath)), limit_(limit) {}

ConversionProgress::~ConversionProgress() {
    if (open_) window_.Close();
}

bool ConversionProgress::WantsEnd(std::chrono::milliseconds elapsed) {
    if (limit_.count() > 0 && elapsed >= limit_) return timedOut_ = true;
    if (!open_) {
        if (elapsed < kShowProgressAfter) return false;
        window_.Open(pdfPath_);
        open_ = true;
        shownTime_ = "0:00";
    }
    const std::string time = ElapsedText(elapsed);
    if (time != shownTime_) {
        window_.ShowTime(time);
        shownTime_ = time;
    }
    return window_.CancelRequested();
}

}  // namespace vellum::convert
