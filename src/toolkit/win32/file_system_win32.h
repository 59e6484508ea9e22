#pragma once

#include "toolkit/file_system.h"

namespace vellum::win32 {

class Win32FileSystem : public toolkit::FileSystem {
public:
    bool FileExists(const std::string& path) override;
    std::optional<std::uint64_t> FileSize(const std::string& path) override;
    bool FolderExists(const std::string& path) override;
    std::string FullPath(const std::string& path) override;
};

}  // namespace vellum::win32
