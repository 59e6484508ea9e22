#include "convert/existing_pdf.h"

#include <chrono>
#include <thread>

namespace vellum::convert {

namespace {

// Where a PDF's header may sit: some writers put bytes before it, and readers look this far.
constexpr std::size_t kHeaderWindow = 1024;
// How much of its end is searched for the trailer: a cross-reference stream, whose dictionary
// names the encryption, may come before several kilobytes of its data.
constexpr std::size_t kTrailerWindow = 64 * 1024;
constexpr auto kTurnPoll = std::chrono::milliseconds(200);

}  // namespace

std::string AddPagesProblem(const std::string& head, const std::string& tail) {
    if (head.find("%PDF-") == std::string::npos) return "it is not a PDF";
    const size_t startxref = tail.rfind("startxref");
    if (startxref == std::string::npos || tail.find("%%EOF", startxref) == std::string::npos)
        return "it is damaged (it ends before a PDF's end)";
    // The trailer (or the cross-reference stream that stands for it) at the end names the
    // encryption dictionary.
    if (tail.find("/Encrypt") != std::string::npos) return "it is encrypted";
    return "";
}

std::string WhyPagesCannotBeAdded(toolkit::FileSystem& files, const std::string& path) {
    const std::uint64_t size = files.FileSize(path).value_or(0);
    const std::uint64_t tailStart = size > kTrailerWindow ? size - kTrailerWindow : 0;
    return AddPagesProblem(files.ReadBytes(path, 0, kHeaderWindow),
                           files.ReadBytes(path, tailStart, kTrailerWindow));
}

std::string CannotAddPagesText(const std::string& path, const std::string& why) {
    return "The pages could not be added to " + path + ": " + why +
           ".\r\nThe file was not changed.";
}

std::string AddingLockPath(const std::string& pdfPath) {
    return pdfPath + ".vellum-lock";
}

std::unique_ptr<toolkit::HeldFile> TakeAddingTurn(toolkit::FileSystem& files,
                                                  const std::string& pdfPath) {
    for (;;) {
        if (auto turn = files.HoldAlone(AddingLockPath(pdfPath))) return turn;
        std::this_thread::sleep_for(kTurnPoll);
    }
}

}  // namespace vellum::convert
