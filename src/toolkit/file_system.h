#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vellum::toolkit {

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // True when `path` itself names an ordinary file: directories, hidden and system files do
    // not count, and a name with wildcards ("*", "?") is a pattern, never a file. The empty
    // path is false. Never throws.
    virtual bool FileExists(const std::string& path) = 0;

    // The size in bytes of the file `path` names, whatever its attributes; nothing when it
    // names no file (missing, a folder, a pattern, the empty path). Never throws.
    virtual std::optional<std::uint64_t> FileSize(const std::string& path) = 0;

    // True when `path` names an existing folder by a path the system's ordinary calls take:
    // shorter than MAX_PATH (260) UTF-16 characters. Longer or empty paths are false. Never
    // throws.
    virtual bool FolderExists(const std::string& path) = 0;

    // `path` made absolute against the current folder the way GetFullPathName does it ("." and
    // ".." resolved, a drive-relative path completed); the path itself when that fails. Never
    // throws.
    virtual std::string FullPath(const std::string& path) = 0;
};

}  // namespace vellum::toolkit
