#include "convert/leftovers.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "convert/trusted_folder.h"
#include "toolkit/runtime_error.h"

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

constexpr char kStampPrefix[] = "vellum-cleaned-";
constexpr size_t kStampPrefixSize = sizeof kStampPrefix - 1;

// kStampPrefix and 16 hex digits: the file in the temporary folder whose time says when the
// folder of that hash was last cleaned up. Case is ignored, as the file system does.
bool IsStampName(const std::string& name) {
    return name.size() == kStampPrefixSize + 16 &&
           name.compare(0, kStampPrefixSize, kStampPrefix) == 0 &&
           IsHex(name, kStampPrefixSize, 16);
}

std::string StampName(const std::string& folder) {
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (char c : folder) {
        hash ^= static_cast<unsigned char>(std::tolower(static_cast<unsigned char>(c)));
        hash *= 1099511628211ull;
    }
    char name[40];
    std::snprintf(name, sizeof name, "%s%016llx", kStampPrefix,
                  static_cast<unsigned long long>(hash));
    return name;
}

// Whether `folder` is due for a clean-up, marking it cleaned now when it is: once a day is
// enough for what is removed only after a day, and a job then never reads through a folder of
// thousands of files. Looked up by its exact name, which the file system finds without
// reading the folder.
bool DueAndMarked(toolkit::FileSystem& files, const std::string& temp, const std::string& folder) {
    const std::string stamp = StampName(folder);
    const std::vector<toolkit::FolderEntry> found = files.ListFolder(temp, stamp);
    if (!found.empty() && found[0].ageSeconds >= 0 && found[0].ageSeconds < kLeftoverAgeSeconds)
        return false;
    try {
        files.RemoveFile(temp + "\\" + stamp);
        files.CreateNewFile(temp + "\\" + stamp);
    } catch (const toolkit::RuntimeError&) {
        // Not marked: the next job cleans up again.
    }
    return true;
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
    if (temp.empty()) return;  // no place for the marks: nothing is cleaned up
    if (DueAndMarked(files, temp, temp)) {
        for (const toolkit::FolderEntry& entry : files.ListFolder(temp, "vellum-*")) {
            if (!IsOldAndOrdinary(entry)) continue;
            if (entry.folder && IsTempFolderName(entry.name))
                RemoveOwnLeftover(files, temp + "\\" + entry.name, true);
            else if (!entry.folder && IsStampName(entry.name))
                RemoveOwnLeftover(files, temp + "\\" + entry.name, false);
        }
    }
    if (pdfFolder.empty() || !DueAndMarked(files, temp, pdfFolder)) return;
    for (const toolkit::FolderEntry& entry : files.ListFolder(pdfFolder, "*.vellum-tmp"))
        if (!entry.folder && IsOldAndOrdinary(entry) && IsTemporaryPdfName(entry.name))
            RemoveOwnLeftover(files, pdfFolder + "\\" + entry.name, false);
}

}  // namespace vellum::convert
