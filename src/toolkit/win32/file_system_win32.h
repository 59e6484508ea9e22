#pragma once

#include <map>

#include "toolkit/file_system.h"
#include "toolkit/win32/handles.h"

namespace vellum::win32 {

class FileSystem : public toolkit::FileSystem {
public:
    bool FileExists(const std::string& path) override;
    std::optional<std::uint64_t> FileSize(const std::string& path) override;
    bool FolderExists(const std::string& path) override;
    std::string FullPath(const std::string& path) override;
    bool CreateNewFile(const std::string& path) override;
    // Flushes the file, then MoveFileExW with MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH.
    void MoveReplacing(const std::string& from, const std::string& to) override;
    bool MoveNew(const std::string& from, const std::string& to) override;
    // CopyFileW, failing when `to` exists; the copy takes its folder's rights.
    bool CopyNew(const std::string& from, const std::string& to) override;
    void RemoveFile(const std::string& path) override;
    std::string CreateTempFolder() override;
    // Links inside (junctions, symbolic links) are removed, never followed.
    void RemoveFolderTree(const std::string& path) override;
    // GetTempPath2W where Windows has it (SYSTEM's own C:\Windows\SystemTemp), else GetTempPathW;
    // as SYSTEM without GetTempPath2W, %ProgramData%\Vellum\Temp with kMachineOnlyAccess.
    std::string TempRoot() override;
    // Opened for its attributes only: an open asking DELETE access would make every later open
    // without FILE_SHARE_DELETE (the C library's fopen among them) fail while it is held.
    std::unique_ptr<toolkit::HeldFile> Hold(const std::string& path) override;
    // CreateFileW sharing nothing, with FILE_FLAG_DELETE_ON_CLOSE.
    std::unique_ptr<toolkit::HeldFile> HoldAlone(const std::string& path) override;
    void FlushFile(const std::string& path) override;
    std::string ReadBytes(const std::string& path, std::uint64_t offset,
                          std::size_t count) override;
    std::optional<std::uint64_t> FreeSpace(const std::string& folder) override;
    // FindFirstFileExW with the pattern, basic information only (no short names) and large
    // fetches.
    std::vector<toolkit::FolderEntry> ListFolder(const std::string& folder,
                                                 const std::string& pattern = "*") override;
    void MakeFolders(const std::string& path) override;
    // CreateFileW with FILE_APPEND_DATA, shared for reading, writing and deleting; one WriteFile.
    bool AppendText(const std::string& path, const std::string& text) override;
    std::string ShortPath(const std::string& path) override;
    std::uint64_t OpenInheritableForWriting(const std::string& path) override;
    void CloseInheritable(std::uint64_t handle) override;
    std::unique_ptr<toolkit::OpenedObject> OpenUnfollowed(const std::string& path, bool forDelete,
                                                          std::string& error) override;
    std::string AccountSid(const std::string& name) override;
    std::string SetFolderAccess(const std::string& path, const std::string& sddl) override;

private:
    std::map<std::uint64_t, KernelHandle> inheritable_;
};

}  // namespace vellum::win32
