#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/controls.h"

namespace vellum::config {

inline constexpr const char* kRedMonMonitorName = "Redirected Port";

class Spooler;

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

// The spooler's level-2 record, laid out as the platform lays out PORT_INFO_2A.
struct PortInfo2 {
    const char* pPortName;
    const char* pMonitorName;
    const char* pDescription;
    std::uint32_t fPortType;
    std::uint32_t Reserved;
};

// The part of `text` before its first NUL; `text` itself when it holds none.
std::string TrimAtNull(const std::string& text);

// The NUL-terminated system code page text at `address`, as UTF-8; "" for a null address.
std::string StringFromPointer(Spooler& spooler, const char* address);

// The print spooler's port list (EnumPortsA, level 2) and the process heap its answer lives in.
class Spooler {
public:
    virtual ~Spooler() = default;
    virtual bool QueryPorts(const std::string& serverName, std::uint32_t level,
                            std::uint8_t* buffer, std::uint32_t size, std::uint32_t& needed,
                            std::uint32_t& returned) = 0;
    virtual std::uint8_t* HeapAlloc(std::uint32_t size) = 0;
    virtual void HeapFree(std::uint8_t* block) = 0;
    // System code page text to UTF-8.
    virtual std::string FromAnsi(const std::string& ansi) = 0;
};

// Fills PortTable from the spooler and returns the number of ports it reported; 0 when the
// spooler could not answer.
std::int32_t EnumeratePorts(Spooler& spooler, const std::string& serverName);

// Clears the list and appends, in the spooler's order, the names of the ports that belong
// to the RedMon monitor. Never reports an error.
void FillPortList(Spooler& spooler, toolkit::ComboBox& cmbPorts);

}  // namespace vellum::config
