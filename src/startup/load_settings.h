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

enum class SettingsState {
    Complete,    // Ghostscript and the PDF folder are configured
    Incomplete,  // the user was told, and the configuration window shows what to fix
    Unreadable,  // a run-time error was trapped and reported; the settings are partly read
};

// Reads all five settings into settings::Settings, then checks them: when Ghostscript or the
// PDF folder is not configured, tells the user and opens the configuration window on the tab
// and field to fix. Reading everything first means the window never shows, and a save never
// stores, a setting that was merely left unread. Traps its own run-time errors.
SettingsState LoadSettings(SettingsServices& services);

}  // namespace vellum::startup
