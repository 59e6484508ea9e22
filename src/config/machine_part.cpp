#include "config/machine_part.h"

#include <algorithm>
#include <cctype>
#include <memory>

#include "settings/settings.h"
#include "toolkit/runtime_error.h"
#include "toolkit/text.h"

namespace vellum::config {

namespace {

constexpr const char* kMachineSwitch = "-machine";

}  // namespace

PortBinding BindPort(registry::RegistryAccess& reg, const std::string& rmExe,
                     const std::string& rmPort, const std::string& rmArgs,
                     std::vector<std::string>* refused) {
    const auto root = registry::kHkeyLocalMachine;
    const std::string portKey = std::string(kPortsKey) + rmPort;
    // Writes `value` unless it is stored already; false when HKLM refused it.
    const auto store = [&](const std::string& key, const char* name, const std::string& value) {
        std::string stored;
        bool ok = false;
        reg.ReadString(root, key, name, stored, ok);
        if (ok && stored == value) return true;
        reg.WriteString(root, key, name, value, ok);
        if (!ok && refused != nullptr) refused->push_back(name);
        return ok;
    };
    store(registry::kSettingsKey, "rmExe", rmExe);
    store(registry::kSettingsKey, "rmPort", rmPort);

    std::string scratch;
    bool ok = false;
    reg.ReadString(root, portKey, "Arguments", scratch, ok);
    if (!ok) return PortBinding::NoPort;
    // The port's two values in their order; the first one refused ends the binding.
    if (!store(portKey, "Arguments", rmArgs) && refused == nullptr) return PortBinding::Refused;
    if (!store(portKey, "Command", rmExe) && refused == nullptr) return PortBinding::Refused;
    return PortBinding::Bound;
}

std::string MachineCommand(const MachineValues& v) {
    std::string command = kMachineSwitch;
    for (const std::string* value : {&v.gsExe, &v.gsFonts, &v.gsLib, &v.rmExe, &v.rmPort})
        command += " \"" + *value + "\"";
    return command;
}

bool IsMachineCommand(const std::string& tail) {
    const std::string head = tail.substr(0, std::char_traits<char>::length(kMachineSwitch) + 1);
    std::string lower;
    for (char c : head) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower == std::string(kMachineSwitch) + " ";
}

std::optional<MachineValues> ParseMachineCommand(const std::string& tail) {
    if (!IsMachineCommand(tail)) return std::nullopt;
    std::vector<std::string> values;
    size_t at = std::char_traits<char>::length(kMachineSwitch);
    for (;;) {
        while (at < tail.size() && (tail[at] == ' ' || tail[at] == '\t')) ++at;
        if (at >= tail.size()) break;
        if (tail[at] != '"') return std::nullopt;
        const size_t end = tail.find('"', at + 1);
        if (end == std::string::npos) return std::nullopt;
        values.push_back(tail.substr(at + 1, end - at - 1));
        at = end + 1;
    }
    if (values.size() != 5) return std::nullopt;
    return MachineValues{values[0], values[1], values[2], values[3], values[4]};
}

int CheckMachineValues(const MachineValues& v, toolkit::FileSystem& files, bool portExists) {
    if (!portExists || toolkit::TrimSpaces(v.rmPort).empty()) return kMachineNoPort;
    const auto goneFolder = [&](const std::string& folder) {
        return !toolkit::TrimSpaces(folder).empty() && folder.find(';') == std::string::npos &&
               !files.FolderExists(folder);
    };
    if (!files.FileExists(v.gsExe) || toolkit::TrimSpaces(v.gsLib).empty() || goneFolder(v.gsLib) ||
        goneFolder(v.gsFonts) || !files.FileExists(v.rmExe))
        return kMachineNotSaved;
    return kMachineDone;
}

int ApplyMachineCommand(registry::RegistryFactory& registry, toolkit::FileSystem& files,
                        const std::string& tail, const std::string& rmArgs) {
    const std::optional<MachineValues> values = ParseMachineCommand(tail);
    if (!values) return kMachineUsage;
    try {
        std::unique_ptr<registry::RegistryAccess> reg = registry.Create();
        // Every check before the first write: a refused command leaves HKLM as it was.
        std::string scratch;
        bool portExists = false;
        reg->ReadString(registry::kHkeyLocalMachine, std::string(kPortsKey) + values->rmPort,
                        "Arguments", scratch, portExists);
        if (const int refused = CheckMachineValues(*values, files, portExists);
            refused != kMachineDone)
            return refused;
        settings::SettingsRecord record;
        record.gsExe = values->gsExe;
        record.gsFonts = values->gsFonts;
        record.gsLib = values->gsLib;
        const auto changed = settings::ChangedMachineSettings(record, *reg);
        if (!settings::WriteMachineSettings(record, changed, *reg).empty()) return kMachineNotSaved;
        switch (BindPort(*reg, values->rmExe, values->rmPort, rmArgs)) {
            case PortBinding::Bound:
                return kMachineDone;
            case PortBinding::NoPort:
                return kMachineNoPort;
            case PortBinding::Refused:
                return kMachinePortRefused;
        }
        return kMachineNotSaved;
    } catch (const toolkit::RuntimeError&) {
        return kMachineNotSaved;
    }
}

std::string MachineSettingLabels(const std::vector<std::string>& names) {
    static const std::pair<const char*, const char*> kLabels[] = {
        {"gsExe", "the Ghostscript executable"},
        {"gsFonts", "the Ghostscript fonts folder"},
        {"gsLib", "the Ghostscript lib folder"},
        {"rmExe", "the RedRun executable"},
        {"rmPort", "the RedMon port"},
        {"Arguments", "the port's binding to Vellum"},
        {"Command", "the port's binding to Vellum"},
    };
    std::vector<std::string> labels;
    for (const auto& [name, label] : kLabels)
        if (std::find(names.begin(), names.end(), name) != names.end() &&
            std::find(labels.begin(), labels.end(), label) == labels.end())
            labels.push_back(label);
    std::string text;
    for (size_t i = 0; i < labels.size(); ++i)
        text += (i == 0 ? "" : i + 1 == labels.size() ? " and " : ", ") + labels[i];
    return text;
}

}  // namespace vellum::config
