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

void LoadSettings(SettingsServices& s) {
    try {
        std::unique_ptr<registry::RegistryAccess> reg = s.registry.Create();
        bool ok = false;
        auto read = [&](const char* name, std::string& field) {
            reg->ReadString(registry::kHkeyLocalMachine, registry::kSettingsKey, name, field, ok);
        };

        read("gsExe", Settings.gsExe);
        if (!s.files.FileExists(Settings.gsExe) || !ok) {
            s.msgBox.Show("Vellum Configuration Error.", "Error!", Icon::Information);
            OpenConfigOn(s.config, config::ConfigTab::Ghostscript, config::ConfigField::GsExe);
            return;
        }
        read("gsFonts", Settings.gsFonts);
        read("gsLib", Settings.gsLib);
        if (TrimSpaces(Settings.gsLib).empty() || !ok) {
            s.msgBox.Show("Vellum Configuration Error.", "Error!", Icon::Information);
            OpenConfigOn(s.config, config::ConfigTab::Ghostscript, config::ConfigField::GsLib);
            return;
        }
        read("sendMail", Settings.sendMail);
        read("defDir", Settings.defDir);
        if (TrimSpaces(Settings.defDir).empty() || !ok) {
            s.msgBox.Show("PDF default directory not set.", "Configuration Error!",
                          Icon::Information);
            OpenConfigOn(s.config, config::ConfigTab::Vellum, config::ConfigField::PdfDir);
            return;
        }
    } catch (const toolkit::RuntimeError& e) {
        toolkit::ErrorReport(s.msgBox, toolkit::ReportForm::Long, e);
    }
}

}  // namespace vellum::startup
