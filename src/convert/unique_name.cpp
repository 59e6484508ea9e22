#include "convert/unique_name.h"

#include <algorithm>

#include "toolkit/paths.h"
#include "toolkit/text.h"

namespace vellum::convert {

namespace {

constexpr int kMaxNumber = 9999;
const std::string kPdf = ".pdf";

}  // namespace

std::string NumberedPdfPath(const std::string& pdfPath, int number) {
    const std::string folder = toolkit::FolderOf(pdfPath);
    std::string name = pdfPath.substr(folder.empty() ? 0 : folder.size() + 1);
    if (name.size() >= kPdf.size() &&
        name.compare(name.size() - kPdf.size(), kPdf.size(), kPdf) == 0)
        name.erase(name.size() - kPdf.size());
    const std::string suffix = (number == 1 ? "" : " (" + std::to_string(number) + ")") + kPdf;
    const int folderUnits = folder.empty() ? 0 : toolkit::Utf16Length(folder) + 1;
    const int room =
        std::min(kComponentLimit, kPathLimit - folderUnits) - toolkit::Utf16Length(suffix);
    const std::string cut = toolkit::CutToUtf16(name, std::max(room, 1));
    return toolkit::JoinPath(folder, cut) + suffix;
}

std::optional<std::string> ReserveUniquePdfPath(toolkit::FileSystem& files, const std::string& from,
                                                const std::string& pdfPath) {
    for (int number = 1; number <= kMaxNumber; ++number) {
        const std::string path = NumberedPdfPath(pdfPath, number);
        if (files.MoveNew(from, path)) return path;
    }
    return std::nullopt;
}

}  // namespace vellum::convert
