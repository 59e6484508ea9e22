#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "toolkit/file_system.h"

namespace vellum {

// Files, their sizes and folders in plain members. A path without a drive ("X:") or a leading
// "\\" is made full against `currentFolder`.
class FakeFileSystem : public toolkit::FileSystem {
public:
    bool FileExists(const std::string& path) override { return files.count(path) != 0; }
    std::optional<std::uint64_t> FileSize(const std::string& path) override {
        const auto size = sizes.find(path);
        if (size != sizes.end()) return size->second;
        if (files.count(path) != 0) return kOrdinarySize;
        return std::nullopt;
    }
    bool FolderExists(const std::string& path) override { return folders.count(path) != 0; }
    std::string FullPath(const std::string& path) override {
        const bool full = (path.size() >= 2 && path[1] == ':') || path.rfind("\\\\", 0) == 0;
        return full ? path : currentFolder + "\\" + path;
    }

    static constexpr std::uint64_t kOrdinarySize = 1000;
    std::set<std::string> files;                 // ordinary files, kOrdinarySize bytes each
    std::map<std::string, std::uint64_t> sizes;  // files of other sizes or attributes
    std::set<std::string> folders;
    std::string currentFolder = "C:\\work";
};

}  // namespace vellum
