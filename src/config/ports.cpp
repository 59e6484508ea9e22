#include "config/ports.h"

#include "toolkit/text.h"

namespace vellum::config {

std::vector<PortRecord> PortTable(101);

std::string TrimAtNull(const std::string& text) {
    const size_t nul = text.find('\0');
    return nul == std::string::npos ? text : text.substr(0, nul);
}

std::int32_t EnumeratePorts(Spooler& spooler, const std::string& serverName) {
    const std::optional<std::vector<PortRecord>> ports = spooler.ListPorts(serverName);
    if (!ports) return 0;
    if (PortTable.size() < ports->size()) PortTable.resize(ports->size());
    for (size_t i = 0; i < ports->size(); ++i) {
        const PortRecord& port = (*ports)[i];
        PortTable[i] = {TrimAtNull(port.portName), TrimAtNull(port.monitorName),
                        TrimAtNull(port.description), port.portType};
    }
    return static_cast<std::int32_t>(ports->size());
}

std::vector<std::string> FillPortList(Spooler& spooler, toolkit::ComboBox& cmbPorts) {
    std::vector<std::string> added;
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
            if (toolkit::TrimSpaces(record.monitorName) != kRedMonMonitorName) continue;
            cmbPorts.AddItem(toolkit::TrimSpaces(record.portName));
            added.push_back(toolkit::TrimSpaces(record.portName));
        } catch (...) {
        }
    }
    return added;
}

}  // namespace vellum::config
