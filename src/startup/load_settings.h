#pragma once

#include "config/config_window.h"
#include "registry/registry_access.h"
#include "toolkit/file_system.h"
#include "toolkit/msg_box.h"

namespace vellum::startup {

struct SettingsServices {
    registry::RegistryFactory& registry;
    toolkit::FileSystem& files;
    toolkit::MsgBox& msgBox;
    config::ConfigWindow& config;
};

// Reads the settings into settings::Settings; when Ghostscript or the PDF folder is not
// configured, tells the user and opens the configuration window on the tab and field to fix.
// Traps its own run-time errors.
void LoadSettings(SettingsServices& services);

}  // namespace vellum::startup
