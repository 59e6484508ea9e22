#include "config/ports.h"

#include "startup/settings.h"

namespace vellum::config {

std::vector<PortRecord> PortTable(101);

std::string TrimAtNull(const std::string& text) {
    const size_t nul = text.find('\0');
    return nul == std::string::npos ? text : text.substr(0, nul);
}

std::string StringFromPointer(Spooler& spooler, const char* address) {
    if (address == nullptr) return {};
    return TrimAtNull(spooler.FromAnsi(std::string(address)));
}

std::int32_t EnumeratePorts(Spooler& spooler, const std::string& serverName) {
    constexpr std::uint32_t kLevel = 2;
    std::uint32_t needed = 0;
    std::uint32_t returned = 0;
    spooler.QueryPorts(serverName, kLevel, nullptr, 0, needed, returned);

    std::uint8_t* buffer = spooler.HeapAlloc(needed);
    const bool ok = spooler.QueryPorts(serverName, kLevel, buffer, needed, needed, returned);
    if (!ok) returned = 0;
    if (ok && buffer != nullptr) {
        if (PortTable.size() < returned) PortTable.resize(returned);
        const auto* records = reinterpret_cast<const PortInfo2*>(buffer);
        for (std::uint32_t i = 0; i < returned; ++i) {
            PortRecord& record = PortTable[i];
            record.description = StringFromPointer(spooler, records[i].pDescription);
            record.portName = StringFromPointer(spooler, records[i].pPortName);
            record.monitorName = StringFromPointer(spooler, records[i].pMonitorName);
            record.portType = records[i].fPortType;
        }
    }
    if (buffer != nullptr) spooler.HeapFree(buffer);
    return static_cast<std::int32_t>(returned);
}

void FillPortList(Spooler& spooler, toolkit::ComboBox& cmbPorts) {
    // Every failure is passed over: a port list that cannot be read is an empty list.
    try {
        cmbPorts.Clear();
    } catch (...) {
    }
    std::int32_t count = 0;
    try {
        count = EnumeratePorts(spooler, "");
    } catch (...) {
    }
    for (std::int32_t i = 0; i < count; ++i) {
        try {
            const PortRecord& record = PortTable[static_cast<size_t>(i)];
            if (startup::TrimSpaces(record.monitorName) == kRedMonMonitorName)
                cmbPorts.AddItem(startup::TrimSpaces(record.portName));
        } catch (...) {
        }
    }
}

}  // namespace vellum::config
