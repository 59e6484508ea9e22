#include "settings/settings.h"

#include <memory>

#include "toolkit/error_report.h"

namespace vellum::settings {

SettingsRecord Settings;

bool SaveSettings(const SettingsRecord& settings, registry::RegistryFactory& registry,
                  toolkit::MsgBox& msgBox) {
    try {
        std::unique_ptr<registry::RegistryAccess> reg = registry.Create();
        bool allWritten = true;
        auto write = [&](const char* name, const std::string& value) {
            bool ok = false;
            reg->WriteString(registry::kHkeyLocalMachine, registry::kSettingsKey, name, value, ok);
            allWritten = allWritten && ok;
        };
        write("gsExe", settings.gsExe);
        write("gsFonts", settings.gsFonts);
        write("gsLib", settings.gsLib);
        write("sendMail", settings.sendMail);
        write("defDir", settings.defDir);
        if (!allWritten)
            msgBox.Show("Vellum settings could not be saved.", "Error!", toolkit::Icon::Error);
        return allWritten;
    } catch (const toolkit::RuntimeError& e) {
        toolkit::ErrorReport(msgBox, toolkit::ReportForm::Long, e);
        return false;
    }
}

}  // namespace vellum::settings
