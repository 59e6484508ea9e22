#include "convert/leftovers.h"

#include <cctype>
#include <memory>

#include "convert/trusted_folder.h"

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

// Deletes what the held folder `path` holds and then the folder, each through its own handle;
// links are deleted as links. False when anything was left.
bool RemoveHeldTree(toolkit::FileSystem& files, const std::string& path,
                    toolkit::OpenedObject& folder) {
    bool all = true;
    for (const std::string& name : folder.Names()) {
        const std::string inside = path + "\\" + name;
        std::string error;
        const std::unique_ptr<toolkit::OpenedObject> held =
            files.OpenUnfollowed(inside, true, error);
        if (!held) {
            all = false;
            continue;
        }
        if (held->Facts().folder && !held->Facts().link)
            all = RemoveHeldTree(files, inside, *held) && all;
        else
            all = held->Delete().empty() && all;
    }
    return all && folder.Delete().empty();
}

}  // namespace

bool RemoveOwnLeftover(toolkit::FileSystem& files, const std::string& path, bool folder) {
    std::string error;
    const std::unique_ptr<toolkit::OpenedObject> held = files.OpenUnfollowed(path, true, error);
    if (!held || !MayRemoveLeftover(held->Facts(), folder)) return false;
    return folder ? RemoveHeldTree(files, path, *held) : held->Delete().empty();
}

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
                RemoveOwnLeftover(files, temp + "\\" + entry.name, true);
    }
    if (pdfFolder.empty()) return;
    for (const toolkit::FolderEntry& entry : files.ListFolder(pdfFolder))
        if (!entry.folder && IsOldAndOrdinary(entry) && IsTemporaryPdfName(entry.name))
            RemoveOwnLeftover(files, pdfFolder + "\\" + entry.name, false);
}

}  // namespace vellum::convert
