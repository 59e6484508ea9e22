#pragma once

// The machine's part of the configuration: the Ghostscript paths, RedRun, the port and its
// binding, all in HKLM. A standard user's Save hands it to this program run elevated, with a
// command of its own (docs/users.md).

#include <optional>
#include <string>
#include <vector>

#include "registry/registry_access.h"
#include "toolkit/file_system.h"

namespace vellum::config {

inline constexpr const char* kPortsKey =
    "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Redirected Port\\Ports\\";

enum class PortBinding {
    Bound,    // rmExe, rmPort and the port's Arguments and Command are as asked
    NoPort,   // the port has no Arguments value: it is not a RedMon port
    Refused,  // a value of the port could not be written
};

// Stores rmExe and rmPort and points the port at this program, each value only when it
// differs from what is stored. HKLM's refusals go to `refused`, when given, and the binding
// carries on; without it the first refused port value ends it.
PortBinding BindPort(registry::RegistryAccess& reg, const std::string& rmExe,
                     const std::string& rmPort, const std::string& rmArgs,
                     std::vector<std::string>* refused = nullptr);

struct MachineValues {
    std::string gsExe, gsFonts, gsLib, rmExe, rmPort;
};

// The elevated run's exit codes.
enum MachineExit : int {
    kMachineDone = 0,
    kMachineNotSaved = 1,
    kMachineUsage = 2,
    kMachineNoPort = 3,
    kMachinePortRefused = 4,
};

// The command line that hands `values` to the elevated run: "-machine" and each value in
// double quotes (none of them can hold one: Windows allows no quote in a path or port name).
std::string MachineCommand(const MachineValues& values);
bool IsMachineCommand(const std::string& tail);
std::optional<MachineValues> ParseMachineCommand(const std::string& tail);

// Whether the elevated run may write `values`: kMachineDone when it may, else the exit code that
// refuses them before anything is written. A port that is no RedMon port (`portExists` false)
// is kMachineNoPort; an empty Ghostscript executable or lib folder, an executable or RedRun
// that is no file, or a single folder that does not exist is kMachineNotSaved. A ";"-list of
// folders is the administrator's own choice and is not looked into; the fonts folder may be
// empty.
int CheckMachineValues(const MachineValues& values, toolkit::FileSystem& files, bool portExists);

// What the elevated run does: checks every value first (CheckMachineValues), then stores the
// machine values that changed and binds the port; a refused command leaves HKLM as it was.
// Shows nothing; the exit code says how it went.
int ApplyMachineCommand(registry::RegistryFactory& registry, toolkit::FileSystem& files,
                        const std::string& tail, const std::string& rmArgs);

// The machine settings a person knows them by, for the message that they were not saved.
std::string MachineSettingLabels(const std::vector<std::string>& names);

}  // namespace vellum::config
