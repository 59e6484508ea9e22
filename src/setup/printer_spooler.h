#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vellum::setup {

// The port monitor RedMon registers.
inline constexpr const char* kRedMonMonitor = "Redirected Port";

struct PortRecord {
    std::string name;
    std::string monitor;
};

// A redirected port's whole configuration, as RedMon's own Add Port dialog sets it.
struct RedirectedPortConfig {
    std::string port;
    std::string description = kRedMonMonitor;
    std::string command;           // the program RedMon starts, unquoted (RedMon quotes it)
    std::string arguments;         // RedMon substitutes %1, %% and the like in it
    std::uint32_t output = 0;      // the program writes the output itself
    std::uint32_t showWindow = 2;  // hidden
    std::uint32_t runUser = 1;     // in the printing user's session, which windows need
    std::uint32_t delay = 300;     // seconds the port waits for the program
};

// What setup asks of the print spooler. Every call may throw toolkit::RuntimeError with the
// system's wording of what failed, unless it says otherwise.
class PrinterSpooler {
public:
    virtual ~PrinterSpooler() = default;

    // Every port of every monitor.
    virtual std::vector<PortRecord> Ports() = 0;
    // The DLL the monitor is registered with (as registered: a name or a full path); nothing
    // when no such monitor is installed.
    virtual std::optional<std::string> MonitorDll(const std::string& monitor) = 0;
    // The monitor's own port administration (its XcvData "AddPort", "SetConfig", "DeletePort").
    virtual void AddPort(const std::string& monitor, const std::string& port) = 0;
    virtual void ConfigurePort(const std::string& monitor, const RedirectedPortConfig& config) = 0;
    virtual void DeletePort(const std::string& monitor, const std::string& port) = 0;

    // The printer's port; nothing when there is no such printer.
    virtual std::optional<std::string> PrinterPort(const std::string& printer) = 0;
    // False when the driver is not installed; throws on any other failure.
    virtual bool AddPrinter(const std::string& printer, const std::string& port,
                            const std::string& driver) = 0;
    // Installs a driver the system carries in its driver store; false when it has none of the
    // name.
    virtual bool InstallDriver(const std::string& driver) = 0;
    virtual void DeletePrinter(const std::string& printer) = 0;
};

}  // namespace vellum::setup
