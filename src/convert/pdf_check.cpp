#include "convert/pdf_check.h"

#include "toolkit/runtime_error.h"

namespace vellum::convert {

bool LooksLikeWholePdf(const std::string& head, const std::string& tail) {
    if (head.rfind("%PDF-", 0) != 0) return false;
    const size_t startxref = tail.rfind("startxref");
    return startxref != std::string::npos && tail.find("%%EOF", startxref) != std::string::npos;
}

bool IsWholePdf(toolkit::FileSystem& files, const std::string& path) {
    try {
        files.FlushFile(path);
    } catch (const toolkit::RuntimeError&) {
        return false;
    }
    const std::uint64_t size = files.FileSize(path).value_or(0);
    const std::uint64_t tailStart = size > kPdfTailBytes ? size - kPdfTailBytes : 0;
    return LooksLikeWholePdf(files.ReadBytes(path, 0, 5),
                             files.ReadBytes(path, tailStart, kPdfTailBytes));
}

}  // namespace vellum::convert
