#pragma once

#include <string>

#include "config/config_window.h"
#include "registry/registry_access.h"
#include "startup/file_system.h"
#include "toolkit/msg_box.h"

namespace vellum::startup {

// The five settings, as stored under HKLM\SOFTWARE\Vellum.
struct SettingsRecord {
    std::string gsExe;
    std::string gsFonts;
    std::string gsLib;
    std::string sendMail;
    std::string defDir;
};

// The process-wide settings: filled by LoadSettings, and by the configuration window's save.
extern SettingsRecord Settings;

struct SettingsServices {
    registry::RegistryFactory& registry;
    FileSystem& files;
    toolkit::MsgBox& msgBox;
    config::ConfigWindow& config;
};

// Reads the settings; when Ghostscript or the PDF folder is not configured, tells the user and
// opens the configuration window on the tab and field to fix. Traps its own run-time errors.
void LoadSettings(SettingsServices& services);

// Writes the five settings. Returns false, after telling the user, when any value could not be
// written or a run-time error was trapped.
bool SaveSettings(registry::RegistryFactory& registry, toolkit::MsgBox& msgBox);

// Spaces (only) removed at both ends.
std::string TrimSpaces(const std::string& text);

}  // namespace vellum::startup
