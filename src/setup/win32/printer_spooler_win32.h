#pragma once

#include "setup/printer_spooler.h"

namespace vellum::win32 {

// The local print spooler. Port administration goes through the monitor's own XcvData
// interface, as the monitor's Add Port dialog does, so that the spooler learns of the port.
class PrinterSpooler : public setup::PrinterSpooler {
public:
    std::vector<setup::PortRecord> Ports() override;
    std::optional<std::string> MonitorDll(const std::string& monitor) override;
    void AddPort(const std::string& monitor, const std::string& port) override;
    void ConfigurePort(const std::string& monitor,
                       const setup::RedirectedPortConfig& config) override;
    void DeletePort(const std::string& monitor, const std::string& port) override;
    std::optional<std::string> PrinterPort(const std::string& printer) override;
    bool AddPrinter(const std::string& printer, const std::string& port,
                    const std::string& driver) override;
    bool InstallDriver(const std::string& driver) override;
    void DeletePrinter(const std::string& printer) override;
};

}  // namespace vellum::win32
