#include "startup/load_settings.h"

#include <memory>
#include <vector>

#include "settings/ghostscript_search.h"
#include "settings/settings.h"
#include "toolkit/error_report.h"
#include "toolkit/text.h"

namespace vellum::startup {

using settings::Settings;
using toolkit::Icon;
using toolkit::TrimSpaces;

namespace {

void OpenConfigOn(SettingsServices& s, config::ConfigTab tab, config::ConfigField field) {
    if (!s.canShowWindows) return;
    s.config.Show();
    s.config.SelectTab(tab);
    s.config.Focus(field);
}

void Note(SettingsServices& s, const std::string& text) {
    if (s.note) s.note(text);
}

// A stored Ghostscript path that names nothing: the executable, or a folder that was given.
bool GhostscriptGone(toolkit::FileSystem& files, bool gsExeOk) {
    // A list of folders is the user's own choice, not checked here.
    const auto goneFolder = [&](const std::string& folder) {
        return !TrimSpaces(folder).empty() && folder.find(';') == std::string::npos &&
               !files.FolderExists(folder);
    };
    return !gsExeOk || !files.FileExists(Settings.gsExe) || goneFolder(Settings.gsLib) ||
           goneFolder(Settings.gsFonts);
}

// Takes the highest installed Ghostscript in place of a removed one, and stores it when HKLM
// may be written; a standard user's job still converts with it.
bool FollowGhostscript(SettingsServices& s, registry::RegistryAccess& reg) {
    if (s.machine == nullptr) return false;
    const auto found = settings::FindGhostscript(*s.machine, s.files);
    if (!found) {
        Note(s, "The Ghostscript stored (" + Settings.gsExe + ") is gone and none is installed.");
        return false;
    }
    const std::string stale = Settings.gsExe;
    Settings.gsExe = found->exe;
    Settings.gsLib = found->lib;
    Settings.gsFonts = found->fonts;
    const std::vector<std::string> changed = settings::ChangedMachineSettings(Settings, reg);
    const bool stored = settings::WriteMachineSettings(Settings, changed, reg).empty();
    Note(s, "Ghostscript " + found->version + " (" + found->exe + ") is used in place of " +
                (stale.empty() ? std::string("none") : stale) + "; " +
                (stored ? "stored." : "not stored: only an administrator may change it."));
    return true;
}

}  // namespace

SettingsState LoadSettings(SettingsServices& s) {
    try {
        bool gsExeOk = false;
        bool gsLibOk = false;
        bool defDirOk = false;
        std::unique_ptr<registry::RegistryAccess> reg = s.registry.Create();
        for (const settings::SettingEntry& entry : settings::kSettingEntries) {
            const bool ok = settings::ReadSetting(*reg, entry, Settings);
            const std::string name = entry.name;
            if (name == "gsExe") gsExeOk = ok;
            if (name == "gsLib") gsLibOk = ok;
            if (name == "defDir") defDirOk = ok;
        }
        if (GhostscriptGone(s.files, gsExeOk) && FollowGhostscript(s, *reg)) {
            gsExeOk = true;
            gsLibOk = true;
        }
        reg.reset();  // released before the window makes its own
        // Saving choices may all be missing or unknown: each then has its default.
        for (const std::string& unknown : settings::NormaliseSavingChoices(Settings))
            if (s.note) s.note("The setting " + unknown + " is unknown; its default is used.");

        if (!s.files.FileExists(Settings.gsExe) || !gsExeOk) {
            s.msgBox.Show("Vellum Configuration Error.", "Error!", Icon::Information);
            OpenConfigOn(s, config::ConfigTab::Ghostscript, config::ConfigField::GsExe);
            return SettingsState::Incomplete;
        }
        if (TrimSpaces(Settings.gsLib).empty() || !gsLibOk) {
            s.msgBox.Show("Vellum Configuration Error.", "Error!", Icon::Information);
            OpenConfigOn(s, config::ConfigTab::Ghostscript, config::ConfigField::GsLib);
            return SettingsState::Incomplete;
        }
        // Without a window nothing asks, so nothing needs the Save As folder.
        if (s.canShowWindows && (TrimSpaces(Settings.defDir).empty() || !defDirOk)) {
            s.msgBox.Show("PDF default directory not set.", "Configuration Error!",
                          Icon::Information);
            OpenConfigOn(s, config::ConfigTab::Vellum, config::ConfigField::PdfDir);
            return SettingsState::Incomplete;
        }
        return SettingsState::Complete;
    } catch (const toolkit::RuntimeError& e) {
        toolkit::ErrorReport(s.msgBox, toolkit::ReportForm::Long, e);
        return SettingsState::Unreadable;
    }
}

}  // namespace vellum::startup
