#pragma once

#include <string>

#include "registry/registry_access.h"
#include "toolkit/msg_box.h"

namespace vellum::settings {

// The five settings, as stored under HKLM\SOFTWARE\Vellum.
struct SettingsRecord {
    std::string gsExe;
    std::string gsFonts;
    std::string gsLib;
    std::string sendMail;
    std::string defDir;
};

// The process-wide settings: filled by the start-up load and by the configuration window's
// save; everything else is handed the record it needs.
extern SettingsRecord Settings;

// Writes the five settings of `settings`. Returns false, after telling the user, when any value
// could not be written or a run-time error was trapped.
bool SaveSettings(const SettingsRecord& settings, registry::RegistryFactory& registry,
                  toolkit::MsgBox& msgBox);

}  // namespace vellum::settings
