#include "startup/settings.h"

#include <memory>

#include "toolkit/error_report.h"

namespace vellum::startup {

using toolkit::Icon;

SettingsRecord Settings;

std::string TrimSpaces(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    const size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

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

bool SaveSettings(registry::RegistryFactory& registry, toolkit::MsgBox& msgBox) {
    try {
        std::unique_ptr<registry::RegistryAccess> reg = registry.Create();
        bool allWritten = true;
        auto write = [&](const char* name, const std::string& value) {
            bool ok = false;
            reg->WriteString(registry::kHkeyLocalMachine, registry::kSettingsKey, name, value, ok);
            allWritten = allWritten && ok;
        };
        write("gsExe", Settings.gsExe);
        write("gsFonts", Settings.gsFonts);
        write("gsLib", Settings.gsLib);
        write("sendMail", Settings.sendMail);
        write("defDir", Settings.defDir);
        if (!allWritten) msgBox.Show("Vellum settings could not be saved.", "Error!", Icon::Error);
        return allWritten;
    } catch (const toolkit::RuntimeError& e) {
        toolkit::ErrorReport(msgBox, toolkit::ReportForm::Long, e);
        return false;
    }
}

}  // namespace vellum::startup
