#pragma once

#include "toolkit/file_system.h"

namespace vellum::win32 {

class FileSystem : public toolkit::FileSystem {
public:
    bool FileExists(const std::string& path) override;
    std::optional<std::uint64_t> FileSize(const std::string& path) override;
    bool FolderExists(const std::string& path) override;
    std::string FullPath(const std::string& path) override;
    std::string ReadStart(const std::string& path, size_t maxBytes) override;
    bool CreateNewFile(const std::string& path) override;
    // Flushes the file, then MoveFileExW with MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH.
    void MoveReplacing(const std::string& from, const std::string& to) override;
    void RemoveFile(const std::string& path) override;
    std::string CreateTempFolder() override;
    void CreateFolders(const std::string& path) override;
    // Links inside (junctions, symbolic links) are removed, never followed.
    void RemoveFolderTree(const std::string& path) override;
};

}  // namespace vellum::win32
