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

    // The first `maxBytes` bytes of the file `path`, fewer when it is shorter; "" when it cannot
    // be read. Never throws.
    virtual std::string ReadStart(const std::string& path, size_t maxBytes) = 0;

    // Creates `path` as a new, empty file. False when something of that name exists already,
    // so that two callers never get the same file. Throws RuntimeError (the system's number and
    // wording) for any other failure: a missing folder, no right to write there.
    virtual bool CreateNewFile(const std::string& path) = 0;

    // Moves the file `from` onto `to` in one step, replacing a file of that name, and returns
    // only when the moved file and its new name are on the disk. Both must sit in one folder's
    // volume. Throws RuntimeError when the move fails; `to` is then as it was.
    virtual void MoveReplacing(const std::string& from, const std::string& to) = 0;

    // Deletes the file when it is there. Never throws.
    virtual void RemoveFile(const std::string& path) = 0;

    // A new, empty folder under the user's temporary folder that no one else uses. Throws
    // RuntimeError when it cannot be made.
    virtual std::string CreateTempFolder() = 0;

    // Makes the folder `path` and the folders above it that are missing; nothing when it exists.
    // Throws RuntimeError (the system's number and wording) when one cannot be made.
    virtual void CreateFolders(const std::string& path) = 0;

    // Removes the folder with everything inside it, as far as it can. Never throws.
    virtual void RemoveFolderTree(const std::string& path) = 0;
};

}  // namespace vellum::toolkit
