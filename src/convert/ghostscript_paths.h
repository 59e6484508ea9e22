#pragma once

#include <cstdint>
#include <string>

#include "toolkit/file_system.h"

namespace vellum::convert {

// Ghostscript 10.04 and later decode the UTF-8 paths they are given strictly enough to refuse
// every sequence that starts with the byte E0 or F0: the characters U+0800 to U+0FFF
// (Devanagari, for one) and U+10000 and above (every emoji) become U+FFFD, so such a path
// opens nothing or a file of another name. True when `path` holds none of them.
bool GhostscriptCanOpen(const std::string& path);

// `path`, an existing file or folder, spelt so that Ghostscript can open it: itself, else its
// short (8.3) spelling; "" when it has neither.
std::string GhostscriptSpelling(toolkit::FileSystem& files, const std::string& path);

// What a message says when Ghostscript cannot be given `path`.
std::string CannotOpenWording(const std::string& path);

// Where Ghostscript writes the PDF, as -sOutputFile takes it: the temporary file's path where
// Ghostscript opens it as written, else (a character it cannot read, or a "%", which it takes
// for a page-number format) an inherited handle to the file ("%handle%<hex>", which Windows
// builds of Ghostscript open), kept open as long as this lives.
class GhostscriptOutput {
public:
    GhostscriptOutput(toolkit::FileSystem& files, const std::string& path);
    GhostscriptOutput(const GhostscriptOutput&) = delete;
    GhostscriptOutput& operator=(const GhostscriptOutput&) = delete;
    ~GhostscriptOutput() { files_.CloseInheritable(handle_); }
    // "" when the file could be neither named nor opened.
    const std::string& OutputFile() const { return outputFile_; }

private:
    toolkit::FileSystem& files_;
    std::uint64_t handle_ = 0;
    std::string outputFile_;
};

}  // namespace vellum::convert
