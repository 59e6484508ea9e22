#pragma once

// The monitor's ports, read straight from the registry on every call: the spooler's own
// registry callbacks are not implemented under Wine, and a port added by hand must count
// from the next enumeration.

#include <optional>
#include <string>
#include <vector>

namespace vellum::testbed {

// The names of the subkeys of the Ports key, in registry order; empty when it is missing.
std::vector<std::wstring> ListPorts();

// A string value of one port's key; nothing when the key or the value is missing.
std::optional<std::wstring> ReadPortValue(const std::wstring& port, const wchar_t* name);

}  // namespace vellum::testbed
