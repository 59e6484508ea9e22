#include "setup/printer_setup.h"

#include <algorithm>

#include "config/redirection_arguments.h"
#include "setup/first_settings.h"
#include "toolkit/paths.h"
#include "toolkit/runtime_error.h"

namespace vellum::setup {

using toolkit::FolderOf;
using toolkit::JoinPath;
using toolkit::SameName;
namespace {

constexpr const char* kRedMonUninstallKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\RedMon";

bool HasPort(const std::vector<PortRecord>& ports, const std::string& name,
             const std::string& monitor) {
    return std::any_of(ports.begin(), ports.end(), [&](const PortRecord& port) {
        return SameName(port.name, name) && SameName(port.monitor, monitor);
    });
}

// The program path of a command line: up to its closing quote, else up to ".exe".
std::string ProgramOf(const std::string& command) {
    if (!command.empty() && command[0] == '"') {
        const auto end = command.find('"', 1);
        return command.substr(1, end == std::string::npos ? std::string::npos : end - 1);
    }
    std::string lower = command;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const auto exe = lower.find(".exe");
    return exe == std::string::npos ? command : command.substr(0, exe + 4);
}

// The file name without its folder and extension, as the port's Arguments name the program.
std::string ProgramName(const std::string& path) {
    std::string name = path.substr(FolderOf(path).size());
    if (!name.empty() && (name[0] == '\\' || name[0] == '/')) name.erase(0, 1);
    const auto dot = name.find_last_of('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string AddWithDriver(PrinterSpooler& spooler, const PrinterRequest& request,
                          const std::string& port) {
    std::vector<std::string> drivers = request.drivers;
    if (drivers.empty()) drivers.assign(std::begin(kDefaultDrivers), std::end(kDefaultDrivers));
    for (const std::string& driver : drivers) {
        if (spooler.AddPrinter(request.printer, port, driver)) return driver;
        if (spooler.InstallDriver(driver) && spooler.AddPrinter(request.printer, port, driver))
            return driver;
    }
    std::string names;
    for (const std::string& driver : drivers)
        names += (names.empty() ? "\"" : ", \"") + driver + "\"";
    throw toolkit::VellumError(1797, "No PostScript printer driver for \"" + request.printer +
                                         "\": none of " + names + " is installed.");
}

}  // namespace

std::string FirstFreePort(const std::vector<PortRecord>& ports) {
    for (unsigned n = 1;; ++n) {
        const std::string name = "RPT" + std::to_string(n) + ":";
        if (std::none_of(ports.begin(), ports.end(),
                         [&](const PortRecord& port) { return SameName(port.name, name); }))
            return name;
    }
}

std::vector<std::string> RedRunCandidates(registry::MachineRegistry& registry,
                                          const std::string& monitorDll,
                                          const PrinterRequest& request) {
    std::vector<std::string> folders;
    if (!FolderOf(monitorDll).empty()) folders.push_back(FolderOf(monitorDll));
    if (auto uninstall = registry.ReadString(kRedMonUninstallKey, "UninstallString")) {
        const std::string folder = FolderOf(ProgramOf(*uninstall));
        if (!folder.empty()) folders.push_back(folder);
    }
    if (!request.programFiles.empty()) folders.push_back(JoinPath(request.programFiles, "RedMon"));
    if (!request.systemFolder.empty()) folders.push_back(request.systemFolder);
    std::vector<std::string> candidates;
    for (const std::string& folder : folders) {
        const std::string path = JoinPath(folder, "redrun.exe");
        if (std::none_of(candidates.begin(), candidates.end(),
                         [&](const std::string& c) { return SameName(c, path); }))
            candidates.push_back(path);
    }
    return candidates;
}

PrinterReport MakePrinter(PrinterSpooler& spooler, registry::MachineRegistry& registry,
                          toolkit::FileSystem& files, const PrinterRequest& request) {
    PrinterReport report;
    const auto monitorDll = spooler.MonitorDll(kRedMonMonitor);
    if (!monitorDll) {
        report.outcome = PrinterOutcome::NoMonitor;
        return report;
    }
    if (!request.redrun.empty()) {
        if (files.FileExists(request.redrun)) report.redrun = request.redrun;
    } else {
        for (const std::string& candidate : RedRunCandidates(registry, *monitorDll, request)) {
            if (files.FileExists(candidate)) {
                report.redrun = candidate;
                break;
            }
        }
    }
    if (report.redrun.empty()) {
        report.outcome = PrinterOutcome::NoRedRun;
        return report;
    }

    const std::string ourPrinter = registry.ReadString(kSetupRecordKey, "Printer").value_or("");
    const std::string ourPort = registry.ReadString(kSetupRecordKey, "Port").value_or("");
    const auto printerPort = spooler.PrinterPort(request.printer);
    if (printerPort && !SameName(ourPrinter, request.printer)) {
        report.outcome = PrinterOutcome::PrinterTaken;
        report.takenBy = *printerPort;
        return report;
    }

    const std::vector<PortRecord> ports = spooler.Ports();
    if (!ourPort.empty() && HasPort(ports, ourPort, kRedMonMonitor)) {
        report.port = ourPort;
    } else {
        report.port = FirstFreePort(ports);
        spooler.AddPort(kRedMonMonitor, report.port);
        registry.WriteString(kSetupRecordKey, "Port", report.port);
    }
    RedirectedPortConfig port;
    port.port = report.port;
    port.command = report.redrun;
    port.arguments =
        config::RedirectionArguments(FolderOf(request.vellumExe), ProgramName(request.vellumExe));
    spooler.ConfigurePort(kRedMonMonitor, port);

    if (printerPort && !SameName(*printerPort, report.port)) spooler.DeletePrinter(request.printer);
    if (!printerPort || !SameName(*printerPort, report.port)) {
        report.driver = AddWithDriver(spooler, request, report.port);
        registry.WriteString(kSetupRecordKey, "Printer", request.printer);
    }

    registry.WriteString(kVellumKey, "rmExe", report.redrun);
    registry.WriteString(kVellumKey, "rmPort", report.port);
    return report;
}

std::vector<std::string> RemovePrinter(PrinterSpooler& spooler,
                                       registry::MachineRegistry& registry) {
    std::vector<std::string> failures;
    auto attempt = [&](const std::string& what, auto&& step) {
        try {
            step();
        } catch (const toolkit::RuntimeError& e) {
            failures.push_back(what + ": " + e.Description());
        }
    };
    const std::string printer = registry.ReadString(kSetupRecordKey, "Printer").value_or("");
    const std::string port = registry.ReadString(kSetupRecordKey, "Port").value_or("");
    if (!printer.empty()) {
        attempt("printer \"" + printer + "\"", [&] {
            if (spooler.PrinterPort(printer)) spooler.DeletePrinter(printer);
        });
    }
    if (!port.empty()) {
        attempt("port " + port, [&] {
            if (HasPort(spooler.Ports(), port, kRedMonMonitor))
                spooler.DeletePort(kRedMonMonitor, port);
        });
    }
    // The record stays while something it names is left, so that another run can try again.
    if (failures.empty()) attempt("the record", [&] { registry.DeleteKey(kSetupRecordKey); });
    return failures;
}

}  // namespace vellum::setup
