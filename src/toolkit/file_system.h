#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vellum::toolkit {

// A file kept open by this program until the object goes.
class HeldFile {
public:
    virtual ~HeldFile() = default;
};

// One entry of a folder as ListFolder sees it.
struct FolderEntry {
    std::string name;
    bool folder = false;
    bool link = false;            // a symbolic link or junction: never followed
    std::int64_t ageSeconds = 0;  // since it was last written
};

// The access list of a folder only SYSTEM and the Administrators may use (in full, with all it
// holds; nothing inherited), as a security descriptor string.
inline constexpr const char* kMachineOnlyAccess = "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";

// Who owns a file or folder, as far as trusting it goes.
enum class OwnerKind { System, Administrators, ThisAccount, Other };

// What an open by handle found of the object itself, a link never followed.
struct OpenedFacts {
    bool folder = false;
    bool link = false;  // FILE_ATTRIBUTE_REPARSE_POINT: a junction, symbolic link, mount point
    OwnerKind owner = OwnerKind::Other;
    std::string ownerName;  // "DOMAIN\name" or the SID's text, for the log
    // Its access list takes entries from the folder above (not SE_DACL_PROTECTED).
    bool inheritsAccess = false;
};

// A file or folder held open by handle (OpenUnfollowed): while held no one else can rename or
// delete it, so what was checked on it stays what is written in or deleted.
class OpenedObject {
public:
    virtual ~OpenedObject() = default;
    virtual const OpenedFacts& Facts() const = 0;
    // A folder's entries ("." and ".." left out), listed through this handle; none for a file.
    virtual std::vector<std::string> Names() = 0;
    // Deletes it through this handle (a folder must be empty by then): "" when done, else the
    // system's wording. Only an object opened for deleting can be.
    virtual std::string Delete() = 0;
};

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

    // Creates `path` as a new, empty file. False when something of that name exists already,
    // so that two callers never get the same file. Throws RuntimeError (the system's number and
    // wording) for any other failure: a missing folder, no right to write there.
    virtual bool CreateNewFile(const std::string& path) = 0;

    // Moves the file `from` onto `to` in one step, replacing a file of that name, and returns
    // only when the moved file and its new name are on the disk. Both must sit in one folder's
    // volume. Throws RuntimeError when the move fails; `to` is then as it was.
    virtual void MoveReplacing(const std::string& from, const std::string& to) = 0;

    // Moves the file `from` to `to` as MoveReplacing does, but only when nothing of that name
    // exists: false, with nothing moved, when a file or folder has it. Throws RuntimeError when
    // the move fails for another reason.
    virtual bool MoveNew(const std::string& from, const std::string& to) = 0;

    // Copies the file `from` to the new file `to`, which gets the rights its folder gives (not
    // those of `from`): false, with nothing copied, when something of that name exists. Throws
    // RuntimeError when the copy fails for another reason (a full disk); nothing is left at `to`.
    virtual bool CopyNew(const std::string& from, const std::string& to) = 0;

    // Deletes the file when it is there. Never throws.
    virtual void RemoveFile(const std::string& path) = 0;

    // A new, empty folder under the user's temporary folder that no one else uses. Throws
    // RuntimeError when it cannot be made.
    virtual std::string CreateTempFolder() = 0;

    // Removes the folder with everything inside it, as far as it can. Never throws.
    virtual void RemoveFolderTree(const std::string& path) = 0;

    // The user's temporary folder, where CreateTempFolder makes its folders, without a closing
    // "\"; empty when the system names none. Never throws.
    virtual std::string TempRoot() = 0;

    // Keeps `path` open until the returned object goes, sharing every access, so that others
    // still write, move and delete it by its name; while it is open Windows refuses to rename
    // or remove the folders above it. Null when it cannot be opened. Never throws.
    virtual std::unique_ptr<HeldFile> Hold(const std::string& path) = 0;

    // Opens `path` for this program alone, creating it, until the returned object goes; the
    // file is removed when it is let go of, and the system lets go of it when the process
    // ends however it ends. Null while another holder has it. Throws RuntimeError when it can
    // be neither opened nor made (a missing folder, no right to write there).
    virtual std::unique_ptr<HeldFile> HoldAlone(const std::string& path) = 0;

    // Writes what the system holds of the file's data to the disk. Throws RuntimeError when
    // that fails (a full disk shows here).
    virtual void FlushFile(const std::string& path) = 0;

    // Up to `count` bytes of the file from `offset` on; fewer at its end, none when it cannot
    // be read. Never throws.
    virtual std::string ReadBytes(const std::string& path, std::uint64_t offset,
                                  std::size_t count) = 0;

    // The bytes free to this user on the volume that holds `folder`; nothing when unknown.
    // Never throws.
    virtual std::optional<std::uint64_t> FreeSpace(const std::string& folder) = 0;

    // The entries of `folder` ("." and ".." left out) whose names match `pattern` ("*": any
    // characters, "?": one, case ignored); none when it cannot be read. The system filters, so
    // that a few names out of a folder of thousands cost little; a name may match by its short
    // (8.3) spelling too, so callers check the names they act on. Never throws.
    virtual std::vector<FolderEntry> ListFolder(const std::string& folder,
                                                const std::string& pattern = "*") = 0;

    // Makes the folder and any of its parents that are missing. Throws RuntimeError when one
    // cannot be made.
    virtual void MakeFolders(const std::string& path) = 0;

    // Appends `text` to the file, creating it, in one write at its end, while other processes
    // append too: their texts never mix. False when it could not be written. Never throws.
    virtual bool AppendText(const std::string& path, const std::string& text) = 0;

    // The short (8.3) spelling of the existing file or folder `path`, where its volume keeps
    // one; "" otherwise. Never throws.
    virtual std::string ShortPath(const std::string& /*path*/) { return ""; }

    // Opens the existing file `path` for writing by a program that this one starts with handle
    // inheritance, sharing read, write and delete: the value of the inheritable handle, open
    // until CloseInheritable; 0 when it cannot be opened. Never throws.
    virtual std::uint64_t OpenInheritableForWriting(const std::string& /*path*/) { return 0; }
    virtual void CloseInheritable(std::uint64_t /*handle*/) {}

    // Opens `path` itself by handle, never through a link (a link is opened as the link), for
    // its facts and, with `forDelete`, to delete it through that handle. Others may go on
    // reading and writing it but not rename or delete it while it is held. Null when it cannot
    // be opened, with the system's wording in `error`. Never throws.
    virtual std::unique_ptr<OpenedObject> OpenUnfollowed(const std::string& path, bool forDelete,
                                                         std::string& error) = 0;

    // The security identifier of the account `name` ("S-1-5-21-..."), "" when the name does not
    // resolve. Never throws.
    virtual std::string AccountSid(const std::string& name) = 0;

    // Replaces the access list of the folder `path` with the one of the security descriptor
    // `sddl`, protected (nothing inherited): "" when done, else the system's wording. Never
    // throws.
    virtual std::string SetFolderAccess(const std::string& path, const std::string& sddl) = 0;
};

}  // namespace vellum::toolkit
