#include "convert/ghostscript_paths.h"

#include <algorithm>
#include <cstdio>

#include "convert/ghostscript_command.h"

namespace vellum::convert {

bool GhostscriptCanOpen(const std::string& path) {
    // Neither byte ever continues a sequence, so any place it stands it leads one.
    return std::none_of(path.begin(), path.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte == 0xE0 || byte == 0xF0;
    });
}

std::string GhostscriptSpelling(toolkit::FileSystem& files, const std::string& path) {
    if (GhostscriptCanOpen(path)) return path;
    const std::string spelled = files.ShortPath(path);
    return !spelled.empty() && GhostscriptCanOpen(spelled) ? spelled : "";
}

std::string CannotOpenWording(const std::string& path) {
    return "Ghostscript cannot open " + path +
           ": it cannot read some of the characters (emoji, and scripts such as Devanagari), "
           "and the disk keeps no short name for it.";
}

GhostscriptOutput::GhostscriptOutput(toolkit::FileSystem& files, const std::string& path)
    : files_(files),
      // Ghostscript reads a "%" in an output name as the start of a page-number format.
      outputFile_(GhostscriptCanOpen(path) && path.find('%') == std::string::npos ? path : "") {
    if (!outputFile_.empty()) return;
    handle_ = files.OpenInheritableForWriting(path);
    if (handle_ == 0) {
        // Without a handle a path that only holds "%" can still be named, each "%" doubled.
        if (GhostscriptCanOpen(path)) outputFile_ = LiteralOutputFile(path);
        return;
    }
    char name[32];
    std::snprintf(name, sizeof name, "%%handle%%%08llx", static_cast<unsigned long long>(handle_));
    outputFile_ = name;
}

}  // namespace vellum::convert
