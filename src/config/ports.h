#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/controls.h"

namespace vellum::config {

inline constexpr const char* kRedMonMonitorName = "Redirected Port";

// One port as the spooler reports it.
struct PortRecord {
    std::string portName;
    std::string monitorName;
    std::string description;
    std::uint32_t portType = 0;
};

// The module-wide port table: records 0 to count-1 of the latest enumeration are meaningful.
// It grows as needed, so that every port of a large machine is listed.
extern std::vector<PortRecord> PortTable;

// The part of `text` before its first NUL; `text` itself when it holds none.
std::string TrimAtNull(const std::string& text);

// The print spooler's list of printer ports.
class Spooler {
public:
    virtual ~Spooler() = default;
    // Every port of `serverName` ("" is this machine), in the spooler's order, texts in the
    // process's code page; nothing when the spooler cannot answer. Never throws.
    virtual std::optional<std::vector<PortRecord>> ListPorts(const std::string& serverName) = 0;
};

// Fills PortTable from the spooler and returns the number of ports it reported; 0 when the
// spooler could not answer.
std::int32_t EnumeratePorts(Spooler& spooler, const std::string& serverName);

// Clears the list and appends, in the spooler's order, the names of the ports that belong
// to the RedMon monitor; returns the names it added. Never reports an error.
std::vector<std::string> FillPortList(Spooler& spooler, toolkit::ComboBox& cmbPorts);

}  // namespace vellum::config
