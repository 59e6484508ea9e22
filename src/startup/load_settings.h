#pragma once

#include <functional>
#include <string>

#include "config/config_window.h"
#include "registry/machine_registry.h"
#include "registry/registry_access.h"
#include "toolkit/file_system.h"
#include "toolkit/msg_box.h"

namespace vellum::startup {

struct SettingsServices {
    registry::RegistryFactory& registry;
    toolkit::FileSystem& files;
    toolkit::MsgBox& msgBox;
    config::ConfigWindow& config;
    // Where installed Ghostscript versions are looked up when the stored one is gone; no
    // search without it.
    registry::MachineRegistry* machine = nullptr;
    // Told what the load did on its own (a Ghostscript followed), for the log.
    std::function<void(const std::string&)> note = {};
    // False where no one can see a window: the load then never opens one.
    bool canShowWindows = true;
};

enum class SettingsState {
    Complete,    // Ghostscript and the PDF folder are configured
    Incomplete,  // the user was told, and the configuration window shows what to fix
    Unreadable,  // a run-time error was trapped and reported; the settings are partly read
};

// Reads every setting into settings::Settings (user settings from HKCU first, then HKLM), then
// checks them. When the stored Ghostscript is gone, an installed one is looked for as setup
// does and, when found, taken for this run and stored where the registry allows it. When
// Ghostscript or the PDF folder is still not configured, tells the user and opens the
// configuration window on the tab and field to fix. Reading everything first means the window
// never shows, and a save never stores, a setting that was merely left unread. Traps its own
// run-time errors.
SettingsState LoadSettings(SettingsServices& services);

}  // namespace vellum::startup
