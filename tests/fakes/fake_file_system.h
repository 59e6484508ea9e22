#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
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
    bool CopyNew(const std::string& from, const std::string& to) override {
        if (copyFailure) throw *copyFailure;
        if (FileSize(to) || FolderExists(to)) return false;
        log.push_back("copy " + from + " > " + to);
        Write(to, data.count(from) ? data[from] : std::string(kOrdinarySize, 'x'));
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
        if (onLock) onLock();
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
    std::vector<toolkit::FolderEntry> ListFolder(const std::string& folder,
                                                 const std::string& pattern = "*") override {
        std::vector<toolkit::FolderEntry> matching;
        const auto listed = listings.find(folder);
        if (listed != listings.end())
            for (const toolkit::FolderEntry& entry : listed->second)
                if (Matches(pattern, entry.name)) matching.push_back(entry);
        return matching;
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

    // The patterns this program lists with: a name, or one "*" standing for any characters.
    static bool Matches(const std::string& pattern, const std::string& name) {
        const size_t star = std::min(pattern.find('*'), pattern.size());
        const size_t tail = pattern.size() - std::min(star + 1, pattern.size());
        return star == pattern.size()
                   ? pattern == name
                   : name.size() >= star + tail && name.rfind(pattern.substr(0, star), 0) == 0 &&
                         name.compare(name.size() - tail, tail, pattern, star + 1) == 0;
    }

    // Opened by handle: the facts of `handleFacts` where given, else a file or folder of this
    // account; Delete logs "delete <path>" and removes it.
    std::unique_ptr<toolkit::OpenedObject> OpenUnfollowed(const std::string& path, bool forDelete,
                                                          std::string& error) override {
        struct Opened : toolkit::OpenedObject {
            Opened(FakeFileSystem& fs, std::string p, toolkit::OpenedFacts f, bool d)
                : fs(fs), path(std::move(p)), facts(std::move(f)), forDelete(d) {}
            const toolkit::OpenedFacts& Facts() const override { return facts; }
            std::vector<std::string> Names() override {
                std::vector<std::string> names;
                for (const toolkit::FolderEntry& entry : fs.ListFolder(path))
                    names.push_back(entry.name);
                return names;
            }
            std::string Delete() override {
                if (!forDelete) return "not opened for deleting";
                fs.log.push_back("delete " + path);
                fs.folders.erase(path);
                fs.handleFacts.erase(path);
                fs.RemoveFile(path);
                return "";
            }
            FakeFileSystem& fs;
            std::string path;
            toolkit::OpenedFacts facts;
            bool forDelete;
        };
        const auto given = handleFacts.find(path);
        toolkit::OpenedFacts facts;
        if (given != handleFacts.end()) {
            facts = given->second;
        } else if (folders.count(path) != 0 || FileSize(path)) {
            facts = {folders.count(path) != 0, false, toolkit::OwnerKind::ThisAccount, "me"};
        } else {
            error = "The system cannot find the file specified.";
            return nullptr;
        }
        return std::make_unique<Opened>(*this, path, facts, forDelete);
    }
    std::string AccountSid(const std::string& name) override {
        const auto found = accounts.find(name);
        return found == accounts.end() ? "" : found->second;
    }
    std::string SetFolderAccess(const std::string& path, const std::string& sddl) override {
        log.push_back("access " + path + " " + sddl);
        return accessFailure;
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
    std::optional<toolkit::RuntimeError> copyFailure;
    int moveFailures = 1000;  // how many moves moveFailure fails before they succeed
    std::string tempRoot = "C:\\Temp";
    std::optional<std::uint64_t> freeSpace = 1u << 30;
    std::map<std::string, std::vector<toolkit::FolderEntry>> listings;  // what ListFolder finds
    std::function<void()> onLock;  // what other processes do while a file is taken alone
    std::map<std::string, toolkit::OpenedFacts> handleFacts;  // links, owners, what is there
    std::map<std::string, std::string> accounts;              // names LookupAccountName knows
    std::string accessFailure;                                // SetFolderAccess' answer
};

}  // namespace vellum
