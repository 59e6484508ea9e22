#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace vellum::registry {

// Root keys travel as the 32-bit values of the predefined handles.
inline constexpr std::int32_t kHkeyCurrentUser = static_cast<std::int32_t>(0x80000001u);
inline constexpr std::int32_t kHkeyLocalMachine = static_cast<std::int32_t>(0x80000002u);

// HKLM\SOFTWARE\Vellum holds the machine's settings and the defaults of the user settings;
// HKCU\Software\Vellum holds each user's own (key names are not case-sensitive).
inline constexpr const char* kSettingsKey = "SOFTWARE\\Vellum";
inline constexpr const char* kUserSettingsKey = "Software\\Vellum";

// Reads and writes string values of the registry; what the registry component offers the
// program. The component takes every argument by reference; here only the results are.
class RegistryAccess {
public:
    virtual ~RegistryAccess() = default;

    // Stores the named string value's text in `value` and sets `ok`; `ok` is false when the
    // key or the value is missing or not a string, and `value` is then not to be used.
    // May throw toolkit::RuntimeError when the component itself fails.
    virtual void ReadString(std::int32_t root, const std::string& keyPath,
                            const std::string& valueName, std::string& value, bool& ok) = 0;

    // Stores `value` as a string value, creating the key when it is missing; `ok` reports
    // success. May throw toolkit::RuntimeError when the component itself fails.
    virtual void WriteString(std::int32_t root, const std::string& keyPath,
                             const std::string& valueName, const std::string& value, bool& ok) = 0;
};

// Creates component instances, one per call. Throws toolkit::RuntimeError, with a description
// a user can act on, when the component cannot be created.
class RegistryFactory {
public:
    virtual ~RegistryFactory() = default;
    virtual std::unique_ptr<RegistryAccess> Create() = 0;
};

}  // namespace vellum::registry
