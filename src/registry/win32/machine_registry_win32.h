#pragma once

#include "registry/machine_registry.h"

namespace vellum::win32 {

// HKEY_LOCAL_MACHINE through the 64-bit view, whatever the caller's bitness.
class MachineRegistry : public registry::MachineRegistry {
public:
    std::vector<std::string> SubKeys(const std::string& key) override;
    std::optional<std::string> ReadString(const std::string& key, const std::string& name) override;
    bool HasValue(const std::string& key, const std::string& name) override;
    void WriteString(const std::string& key, const std::string& name, const std::string& value,
                     registry::StringKind kind) override;
    void DeleteKey(const std::string& key) override;
};

}  // namespace vellum::win32
