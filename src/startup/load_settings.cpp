#include "startup/load_settings.h"

#include <memory>

#include "settings/settings.h"
#include "toolkit/error_report.h"
#include "toolkit/text.h"

namespace vellum::startup {

using settings::Settings;
using toolkit::Icon;
using toolkit::TrimSpaces;

namespace {

void OpenConfigOn(config::ConfigWindow& window, config::ConfigTab tab, config::ConfigField field) {
    window.Show();
    window.SelectTab(tab);
    window.Focus(field);
}

}  // namespace

SettingsState LoadSettings(SettingsServices& s) {
    try {
        bool gsExeOk = false;
        bool gsLibOk = false;
        bool defDirOk = false;
        {
            std::unique_ptr<registry::RegistryAccess> reg = s.registry.Create();
            auto read = [&](const char* name, std::string& field, bool& ok) {
                reg->ReadString(registry::kHkeyLocalMachine, registry::kSettingsKey, name, field,
                                ok);
            };
            bool ignored = false;  // gsFonts and sendMail may be missing
            read("gsExe", Settings.gsExe, gsExeOk);
            read("gsFonts", Settings.gsFonts, ignored);
            read("gsLib", Settings.gsLib, gsLibOk);
            read("sendMail", Settings.sendMail, ignored);
            read("defDir", Settings.defDir, defDirOk);
            // The saving choices may all be missing: each then has its default.
            Settings.autoDir.clear();
            read("autoDir", Settings.autoDir, ignored);
            for (const settings::SavingChoice& choice : settings::SavingChoices()) {
                (Settings.*choice.field).clear();
                read(choice.name, Settings.*choice.field, ignored);
            }
        }
        settings::NormaliseSavingChoices(Settings);

        if (!s.files.FileExists(Settings.gsExe) || !gsExeOk) {
            s.msgBox.Show("Vellum Configuration Error.", "Error!", Icon::Information);
            OpenConfigOn(s.config, config::ConfigTab::Ghostscript, config::ConfigField::GsExe);
            return SettingsState::Incomplete;
        }
        if (TrimSpaces(Settings.gsLib).empty() || !gsLibOk) {
            s.msgBox.Show("Vellum Configuration Error.", "Error!", Icon::Information);
            OpenConfigOn(s.config, config::ConfigTab::Ghostscript, config::ConfigField::GsLib);
            return SettingsState::Incomplete;
        }
        if (TrimSpaces(Settings.defDir).empty() || !defDirOk) {
            s.msgBox.Show("PDF default directory not set.", "Configuration Error!",
                          Icon::Information);
            OpenConfigOn(s.config, config::ConfigTab::Vellum, config::ConfigField::PdfDir);
            return SettingsState::Incomplete;
        }
        return SettingsState::Complete;
    } catch (const toolkit::RuntimeError& e) {
        toolkit::ErrorReport(s.msgBox, toolkit::ReportForm::Long, e);
        return SettingsState::Unreadable;
    }
}

}  // namespace vellum::startup
