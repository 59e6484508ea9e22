#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vellum::registry {

// How a string value is stored: plain, or expandable (%VARIABLE% resolved by each reader).
enum class StringKind { Plain, Expandable };

// HKEY_LOCAL_MACHINE as setup sees it: the 64-bit view, where Vellum, Ghostscript's 64-bit
// installer and the spooler keep their keys. Key paths are relative to HKLM.
class MachineRegistry {
public:
    virtual ~MachineRegistry() = default;

    // The names of the subkeys of `key`; empty when the key is missing. Throws
    // toolkit::RuntimeError when the key exists but cannot be listed.
    virtual std::vector<std::string> SubKeys(const std::string& key) = 0;
    // A string value as stored (an expandable one unexpanded); nothing when the key or the value
    // is missing or is not a string. Never throws.
    virtual std::optional<std::string> ReadString(const std::string& key,
                                                  const std::string& name) = 0;
    // True when the value exists, whatever its type. Never throws.
    virtual bool HasValue(const std::string& key, const std::string& name) = 0;
    // Writes a string value, creating the key. Throws toolkit::RuntimeError.
    virtual void WriteString(const std::string& key, const std::string& name,
                             const std::string& value, StringKind kind = StringKind::Plain) = 0;
    // Removes the key with everything below it; a missing key is no error. Throws
    // toolkit::RuntimeError.
    virtual void DeleteKey(const std::string& key) = 0;
};

}  // namespace vellum::registry
