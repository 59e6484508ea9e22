#pragma once

#include "setup/machine_registry.h"

namespace vellum::setup::win32 {

// HKEY_LOCAL_MACHINE through the 64-bit view, whatever the caller's bitness.
class MachineRegistryWin32 : public MachineRegistry {
public:
    std::vector<std::string> SubKeys(const std::string& key) override;
    std::optional<std::string> ReadString(const std::string& key, const std::string& name) override;
    bool HasValue(const std::string& key, const std::string& name) override;
    void WriteString(const std::string& key, const std::string& name, const std::string& value,
                     StringKind kind) override;
    void DeleteKey(const std::string& key) override;
};

class FilesWin32 : public Files {
public:
    bool FileExists(const std::string& path) override;
    bool FolderExists(const std::string& path) override;
};

}  // namespace vellum::setup::win32
