#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "toolkit/file_system.h"
#include "toolkit/runtime_error.h"

namespace vellum {

// Files are names in `files`, with their bytes in `data` (none: empty). Folders made by
// CreateTempFolder are in `folders`; every call that changes something is logged in order.
class FakeFileSystem : public toolkit::FileSystem {
public:
    bool FileExists(const std::string& path) override { return files.count(path) != 0; }
    std::optional<std::uint64_t> FileSize(const std::string& path) override {
        if (files.count(path) == 0) return std::nullopt;
        const auto it = data.find(path);
        return it == data.end() ? 0 : it->second.size();
    }
    bool CreateNewFile(const std::string& path) override {
        if (createFailure) throw *createFailure;
        log.push_back("create " + path);
        if (files.count(path) != 0 || takenNames-- > 0) return false;
        Write(path, "");
        return true;
    }
    void MoveReplacing(const std::string& from, const std::string& to) override {
        log.push_back("move " + from + " > " + to);
        if (moveFailure) throw *moveFailure;
        const std::string bytes = data[from];
        RemoveFile(from);
        Write(to, bytes);
    }
    void RemoveFile(const std::string& path) override {
        log.push_back("remove " + path);
        files.erase(path);
        data.erase(path);
    }
    std::string CreateTempFolder() override {
        if (tempFailure) throw *tempFailure;
        const std::string path = "C:\\Temp\\vellum-" + std::to_string(++foldersMade);
        folders.insert(path);
        log.push_back("mkdir " + path);
        return path;
    }
    void RemoveFolderTree(const std::string& path) override {
        log.push_back("rmtree " + path);
        folders.erase(path);
    }

    void Write(const std::string& path, const std::string& bytes) {
        files.insert(path);
        data[path] = bytes;
    }

    std::set<std::string> files;
    std::map<std::string, std::string> data;
    std::set<std::string> folders;
    std::vector<std::string> log;
    int foldersMade = 0;
    int takenNames = 0;  // how many names CreateNewFile finds taken before one is free
    std::optional<toolkit::RuntimeError> createFailure, moveFailure, tempFailure;
};

}  // namespace vellum
