#include "convert/leftovers.h"

#include <cctype>

namespace vellum::convert {

namespace {

bool IsHex(const std::string& text, size_t from, size_t count) {
    if (from + count > text.size()) return false;
    for (size_t i = from; i < from + count; ++i)
        if (!std::isxdigit(static_cast<unsigned char>(text[i]))) return false;
    return true;
}

bool IsOldAndOrdinary(const toolkit::FolderEntry& entry) {
    return !entry.link && entry.ageSeconds > kLeftoverAgeSeconds;
}

}  // namespace

bool IsTempFolderName(const std::string& name) {
    constexpr size_t kPrefix = 7;  // "vellum-"
    return name.size() == kPrefix + 8 && name.compare(0, kPrefix, "vellum-") == 0 &&
           IsHex(name, kPrefix, 8);
}

bool IsTemporaryPdfName(const std::string& name) {
    const std::string suffix = ".vellum-tmp";
    constexpr size_t kNumber = 9;  // "." and 8 hex digits
    if (name.size() <= kNumber + suffix.size()) return false;
    const size_t number = name.size() - suffix.size() - kNumber;
    return name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0 &&
           name[number] == '.' && IsHex(name, number + 1, 8);
}

void RemoveLeftovers(toolkit::FileSystem& files, const std::string& pdfFolder) {
    const std::string temp = files.TempRoot();
    if (!temp.empty()) {
        for (const toolkit::FolderEntry& entry : files.ListFolder(temp))
            if (entry.folder && IsOldAndOrdinary(entry) && IsTempFolderName(entry.name))
                files.RemoveFolderTree(temp + "\\" + entry.name);
    }
    if (pdfFolder.empty()) return;
    for (const toolkit::FolderEntry& entry : files.ListFolder(pdfFolder))
        if (!entry.folder && IsOldAndOrdinary(entry) && IsTemporaryPdfName(entry.name))
            files.RemoveFile(pdfFolder + "\\" + entry.name);
}

}  // namespace vellum::convert
