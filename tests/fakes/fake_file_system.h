#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "toolkit/file_system.h"
#include "toolkit/runtime_error.h"

namespace vellum {

// Files, their sizes and folders in plain members. A path without a drive ("X:") or a leading
// "\\" is made full against `currentFolder`. Files written with Write keep their bytes in
// `data`; folders made by CreateTempFolder join `folders`; every call that changes something
// is logged in order.
class FakeFileSystem : public toolkit::FileSystem {
public:
    bool FileExists(const std::string& path) override { return files.count(path) != 0; }
    std::optional<std::uint64_t> FileSize(const std::string& path) override {
        const auto bytes = data.find(path);
        if (bytes != data.end()) return bytes->second.size();
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
    bool CreateNewFile(const std::string& path) override {
        if (createFailure) throw *createFailure;
        log.push_back("create " + path);
        if (FileSize(path).has_value() || takenNames-- > 0) return false;
        Write(path, "");
        return true;
    }
    void MoveReplacing(const std::string& from, const std::string& to) override {
        log.push_back("move " + from + " > " + to);
        if (moveFailure && moveFailures-- > 0) throw *moveFailure;
        const std::string bytes = data[from];
        RemoveFile(from);
        Write(to, bytes);
    }
    bool MoveNew(const std::string& from, const std::string& to) override {
        if (FileSize(to) || FolderExists(to) || takenNames-- > 0) return false;
        MoveReplacing(from, to);
        return true;
    }
    void RemoveFile(const std::string& path) override {
        log.push_back("remove " + path);
        files.erase(path);
        sizes.erase(path);
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
    std::string TempRoot() override { return tempRoot; }
    std::unique_ptr<toolkit::HeldFile> Hold(const std::string& path) override {
        struct Held : toolkit::HeldFile {
            Held(FakeFileSystem& fs, std::string p) : fs(fs), path(std::move(p)) {}
            ~Held() override { fs.log.push_back("release " + path); }
            FakeFileSystem& fs;
            std::string path;
        };
        if (!FileSize(path)) return nullptr;
        log.push_back("hold " + path);
        return std::make_unique<Held>(*this, path);
    }
    std::unique_ptr<toolkit::HeldFile> HoldAlone(const std::string& path) override {
        struct Alone : toolkit::HeldFile {
            Alone(FakeFileSystem& fs, std::string p) : fs(fs), path(std::move(p)) {}
            ~Alone() override {
                fs.alone.erase(path);
                fs.log.push_back("let go " + path);
            }
            FakeFileSystem& fs;
            std::string path;
        };
        if (createFailure) throw *createFailure;
        if (!alone.insert(path).second) return nullptr;
        log.push_back("hold alone " + path);
        return std::make_unique<Alone>(*this, path);
    }
    void FlushFile(const std::string& path) override {
        if (flushFailure) throw *flushFailure;
        log.push_back("flush " + path);
    }
    std::string ReadBytes(const std::string& path, std::uint64_t offset,
                          std::size_t count) override {
        const auto bytes = data.find(path);
        if (bytes == data.end() || offset > bytes->second.size()) return "";
        return bytes->second.substr(offset, count);
    }
    std::optional<std::uint64_t> FreeSpace(const std::string&) override { return freeSpace; }
    std::vector<toolkit::FolderEntry> ListFolder(const std::string& folder) override {
        const auto listed = listings.find(folder);
        return listed == listings.end() ? std::vector<toolkit::FolderEntry>{} : listed->second;
    }
    void MakeFolders(const std::string& path) override {
        if (foldersFailure) throw *foldersFailure;
        if (createFailure) throw *createFailure;
        if (folders.insert(path).second) log.push_back("mkdirs " + path);
    }
    bool AppendText(const std::string& path, const std::string& text) override {
        if (appendFails) return false;
        files.insert(path);
        data[path] += text;
        return true;
    }

    // An ordinary file with these bytes.
    void Write(const std::string& path, const std::string& bytes) {
        files.insert(path);
        sizes.erase(path);
        data[path] = bytes;
    }

    static constexpr std::uint64_t kOrdinarySize = 1000;
    std::set<std::string> files;                 // ordinary files, kOrdinarySize bytes each
    std::map<std::string, std::uint64_t> sizes;  // files of other sizes or attributes
    std::map<std::string, std::string> data;     // files written with their bytes
    std::set<std::string> folders;
    std::set<std::string> alone;  // files held by HoldAlone
    std::string currentFolder = "C:\\work";
    std::vector<std::string> log;
    int foldersMade = 0;
    int takenNames = 0;  // how many free names CreateNewFile and MoveNew find taken first
    bool appendFails = false;
    std::optional<toolkit::RuntimeError> createFailure, moveFailure, tempFailure, flushFailure;
    std::optional<toolkit::RuntimeError> foldersFailure;  // MakeFolders' alone
    int moveFailures = 1000;  // how many moves moveFailure fails before they succeed
    std::string tempRoot = "C:\\Temp";
    std::optional<std::uint64_t> freeSpace = 1u << 30;
    std::map<std::string, std::vector<toolkit::FolderEntry>> listings;  // what ListFolder finds
};

}  // namespace vellum
