#pragma once

// Fakes of setup's seams: the machine's registry, its files and its print spooler. The spooler
// follows the documented Windows contract where Wine is kinder: a port name is unique across
// monitors, a port in use by a printer cannot be deleted, and a driver must be installed
// before a printer can use it.

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "registry/machine_registry.h"
#include "toolkit/paths.h"
#include "setup/printer_spooler.h"
#include "toolkit/runtime_error.h"

namespace vellum {

class FakeMachineRegistry : public registry::MachineRegistry {
public:
    struct Value {
        std::string text;
        registry::StringKind kind = registry::StringKind::Plain;
    };

    std::vector<std::string> SubKeys(const std::string& key) override {
        std::set<std::string> names;
        const std::string prefix = key + "\\";
        for (const std::string& k : keys)
            if (k.rfind(prefix, 0) == 0)
                names.insert(k.substr(prefix.size(), k.find('\\', prefix.size()) - prefix.size()));
        return {names.begin(), names.end()};
    }
    std::optional<std::string> ReadString(const std::string& key,
                                          const std::string& name) override {
        const auto it = values.find({key, name});
        if (it == values.end()) return std::nullopt;
        return it->second.text;
    }
    bool HasValue(const std::string& key, const std::string& name) override {
        return values.count({key, name}) != 0;
    }
    void WriteString(const std::string& key, const std::string& name, const std::string& value,
                     registry::StringKind kind) override {
        if (failingKeys.count(key)) throw toolkit::RuntimeError(5, "Registry", "Access is denied.");
        Set(key, name, value, kind);
    }
    void DeleteKey(const std::string& key) override {
        std::erase_if(
            keys, [&](const std::string& k) { return k == key || k.rfind(key + "\\", 0) == 0; });
        std::erase_if(values, [&](const auto& v) {
            return v.first.first == key || v.first.first.rfind(key + "\\", 0) == 0;
        });
    }

    void Set(const std::string& key, const std::string& name, const std::string& value,
             registry::StringKind kind = registry::StringKind::Plain) {
        for (std::string k = key; !k.empty(); k = toolkit::FolderOf(k)) keys.insert(k);
        values[{key, name}] = {value, kind};
    }
    std::string Get(const std::string& key, const std::string& name) const {
        const auto it = values.find({key, name});
        return it == values.end() ? "<missing>" : it->second.text;
    }

    std::set<std::string> keys;
    std::map<std::pair<std::string, std::string>, Value> values;
    std::set<std::string> failingKeys;
};

class FakePrinterSpooler : public setup::PrinterSpooler {
public:
    struct Printer {
        std::string port;
        std::string driver;
    };

    std::vector<setup::PortRecord> Ports() override { return ports; }
    std::optional<std::string> MonitorDll(const std::string& monitor) override {
        const auto it = monitors.find(monitor);
        if (it == monitors.end()) return std::nullopt;
        return it->second;
    }
    void AddPort(const std::string& monitor, const std::string& port) override {
        calls.push_back("AddPort " + port);
        if (!monitors.count(monitor)) Fail(1798, "The port monitor is unknown.");
        if (FindPort(port) != ports.end()) Fail(87, "The parameter is incorrect.");
        ports.push_back({port, monitor});
    }
    void ConfigurePort(const std::string& monitor,
                       const setup::RedirectedPortConfig& config) override {
        calls.push_back("SetConfig " + config.port);
        const auto it = FindPort(config.port);
        if (it == ports.end() || it->monitor != monitor) Fail(87, "The parameter is incorrect.");
        configs[config.port] = config;
    }
    void DeletePort(const std::string& monitor, const std::string& port) override {
        calls.push_back("DeletePort " + port);
        const auto it = FindPort(port);
        if (it == ports.end() || it->monitor != monitor) Fail(87, "The parameter is incorrect.");
        for (const auto& [name, printer] : printers)
            if (toolkit::SameName(printer.port, port))
                Fail(170, "The requested resource is in use.");
        ports.erase(it);
        configs.erase(port);
    }
    std::optional<std::string> PrinterPort(const std::string& printer) override {
        const auto it = printers.find(printer);
        if (it == printers.end()) return std::nullopt;
        return it->second.port;
    }
    bool AddPrinter(const std::string& printer, const std::string& port,
                    const std::string& driver) override {
        calls.push_back("AddPrinter " + printer + " on " + port + " with " + driver);
        if (!installedDrivers.count(driver)) return false;
        if (printers.count(printer)) Fail(1802, "The printer already exists.");
        printers[printer] = {port, driver};
        return true;
    }
    bool InstallDriver(const std::string& driver) override {
        calls.push_back("InstallDriver " + driver);
        if (!driverStore.count(driver)) return false;
        installedDrivers.insert(driver);
        return true;
    }
    void DeletePrinter(const std::string& printer) override {
        calls.push_back("DeletePrinter " + printer);
        if (failDeletePrinter) Fail(5, "Access is denied.");
        if (!printers.erase(printer)) Fail(1801, "The printer name is invalid.");
    }

    std::map<std::string, std::string> monitors;  // name, DLL
    std::vector<setup::PortRecord> ports;
    std::map<std::string, setup::RedirectedPortConfig> configs;
    std::map<std::string, Printer> printers;
    std::set<std::string> installedDrivers;
    std::set<std::string> driverStore;
    bool failDeletePrinter = false;
    std::vector<std::string> calls;

private:
    [[noreturn]] static void Fail(int code, const std::string& text) {
        throw toolkit::RuntimeError(code, "Spooler", text);
    }
    std::vector<setup::PortRecord>::iterator FindPort(const std::string& name) {
        return std::find_if(ports.begin(), ports.end(), [&](const setup::PortRecord& p) {
            return toolkit::SameName(p.name, name);
        });
    }
};

}  // namespace vellum
