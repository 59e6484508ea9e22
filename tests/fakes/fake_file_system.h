#pragma once

#include <set>
#include <string>

#include "toolkit/file_system.h"

namespace vellum {

class FakeFileSystem : public toolkit::FileSystem {
public:
    bool FileExists(const std::string& path) override { return files.count(path) != 0; }
    std::set<std::string> files;
};

}  // namespace vellum
