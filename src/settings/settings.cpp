#include "settings/settings.h"

#include <algorithm>
#include <cctype>
#include <memory>

#include "toolkit/error_report.h"
#include "toolkit/text.h"

namespace vellum::settings {

SettingsRecord Settings;

const std::vector<SavingChoice>& SavingChoices() {
    static const std::vector<SavingChoice> choices{
        {"saveMode", &SettingsRecord::saveMode, {kAskMode, kAutoMode}},
        {"openPdf", &SettingsRecord::openPdf, {"0", "1"}},
        {"pdfQuality",
         &SettingsRecord::pdfQuality,
         {kDefaultQuality, "screen", "ebook", "printer", "prepress"}},
        {"pdfA", &SettingsRecord::pdfA, {"0", kPdfA2}},
    };
    return choices;
}

std::vector<std::string> NormaliseSavingChoices(SettingsRecord& settings) {
    std::vector<std::string> unknown;
    for (const SavingChoice& choice : SavingChoices()) {
        std::string& value = settings.*choice.field;
        std::string plain = toolkit::TrimSpaces(value);
        std::transform(plain.begin(), plain.end(), plain.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        const bool known =
            std::find(choice.values.begin(), choice.values.end(), plain) != choice.values.end();
        if (!known && !plain.empty()) unknown.push_back(std::string(choice.name) + "=" + value);
        value = known ? plain : choice.values.front();
    }
    return unknown;
}

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
        write("autoDir", settings.autoDir);
        for (const SavingChoice& choice : SavingChoices())
            write(choice.name, settings.*choice.field);
        if (!allWritten)
            msgBox.Show("Vellum settings could not be saved.", "Error!", toolkit::Icon::Error);
        return allWritten;
    } catch (const toolkit::RuntimeError& e) {
        toolkit::ErrorReport(msgBox, toolkit::ReportForm::Long, e);
        return false;
    }
}

}  // namespace vellum::settings
