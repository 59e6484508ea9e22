#pragma once

#include <string>

namespace vellum::toolkit {

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // True when `path` itself names an ordinary file: directories, hidden and system files do
    // not count, and a name with wildcards ("*", "?") is a pattern, never a file. The empty
    // path is false. Never throws.
    virtual bool FileExists(const std::string& path) = 0;
};

}  // namespace vellum::toolkit
