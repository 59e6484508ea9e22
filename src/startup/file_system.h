#pragma once

#include <string>

namespace vellum::startup {

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // True when a listing of `path` for ordinary files yields a name: directories, hidden
    // and system files do not count. The empty path is false. Never throws.
    virtual bool FileExists(const std::string& path) = 0;
};

}  // namespace vellum::startup
