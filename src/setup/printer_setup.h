#pragma once

#include <string>
#include <vector>

#include "registry/machine_registry.h"
#include "toolkit/file_system.h"
#include "setup/printer_spooler.h"

namespace vellum::setup {

inline constexpr const char* kDefaultPrinter = "Vellum PDF";
// The system's PostScript class driver (Windows 8 and later), then the colour PostScript
// driver older systems carry.
inline constexpr const char* kDefaultDrivers[] = {"Microsoft PS Class Driver",
                                                  "MS Publisher Color Printer"};
// What setup made, so that uninstall removes exactly that.
inline constexpr const char* kSetupRecordKey = "SOFTWARE\\Vellum\\Setup";

struct PrinterRequest {
    std::string printer = kDefaultPrinter;
    std::vector<std::string> drivers;  // tried in order; empty: kDefaultDrivers
    std::string redrun;                // empty: looked for beside RedMon
    std::string vellumExe;             // the installed vellum.exe, full path
    std::string programFiles;          // where RedMon's folder is looked for
    std::string systemFolder;          // where the spooler keeps monitor DLLs
};

enum class PrinterOutcome { Made, NoMonitor, NoRedRun, PrinterTaken };

struct PrinterReport {
    PrinterOutcome outcome = PrinterOutcome::Made;
    std::string port;
    std::string driver;  // "" when an earlier run's printer was kept
    std::string redrun;
    std::string takenBy;  // PrinterTaken: the port of the printer that has the name
};

// Makes the printer chain: a redirected port of Vellum's own (an earlier run's, or the first
// free RPTn:) configured to run RedRun, which runs vellum.exe; the printer on it; and the
// settings rmExe and rmPort. Records the port and printer as soon as each exists. A printer of
// the name that setup did not make is left alone (PrinterTaken), before anything is made.
// Throws toolkit::RuntimeError when the spooler fails or no driver can be had.
PrinterReport MakePrinter(PrinterSpooler& spooler, registry::MachineRegistry& registry,
                          toolkit::FileSystem& files, const PrinterRequest& request);

// Removes the printer and the port setup recorded, then the record. Goes on past a failing
// step; returns what failed, one line each (empty: all done). Never throws.
std::vector<std::string> RemovePrinter(PrinterSpooler& spooler,
                                       registry::MachineRegistry& registry);

// Where RedRun may be, best first: beside a monitor DLL registered by full path, in the folder of
// RedMon's uninstaller, in <Program Files>\RedMon, beside the monitor DLLs in the system folder.
std::vector<std::string> RedRunCandidates(registry::MachineRegistry& registry,
                                          const std::string& monitorDll,
                                          const PrinterRequest& request);

// The first RPTn: (n from 1) that no port of any monitor has.
std::string FirstFreePort(const std::vector<PortRecord>& ports);

}  // namespace vellum::setup
