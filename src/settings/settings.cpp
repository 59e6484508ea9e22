#include "settings/settings.h"

#include <algorithm>
#include <cctype>
#include <memory>

#include "toolkit/error_report.h"
#include "toolkit/text.h"

namespace vellum::settings {

SettingsRecord Settings;

namespace {

bool Listed(const std::vector<std::string>& names, const char* name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

bool ReadSetting(registry::RegistryAccess& reg, const SettingEntry& entry, SettingsRecord& record) {
    std::string value;
    bool ok = false;
    if (entry.scope == Scope::User)
        reg.ReadString(registry::kHkeyCurrentUser, registry::kUserSettingsKey, entry.name, value,
                       ok);
    if (!ok)
        reg.ReadString(registry::kHkeyLocalMachine, registry::kSettingsKey, entry.name, value, ok);
    if (ok) record.*entry.field = value;
    return ok;
}

std::vector<std::string> ChangedMachineSettings(const SettingsRecord& settings,
                                                registry::RegistryAccess& reg) {
    std::vector<std::string> changed;
    for (const SettingEntry& entry : kSettingEntries) {
        if (entry.scope != Scope::Machine) continue;
        std::string stored;
        bool ok = false;
        reg.ReadString(registry::kHkeyLocalMachine, registry::kSettingsKey, entry.name, stored, ok);
        if (!ok || stored != settings.*entry.field) changed.push_back(entry.name);
    }
    return changed;
}

std::vector<std::string> WriteMachineSettings(const SettingsRecord& settings,
                                              const std::vector<std::string>& names,
                                              registry::RegistryAccess& reg) {
    std::vector<std::string> refused;
    for (const SettingEntry& entry : kSettingEntries) {
        if (entry.scope != Scope::Machine || !Listed(names, entry.name)) continue;
        bool ok = false;
        reg.WriteString(registry::kHkeyLocalMachine, registry::kSettingsKey, entry.name,
                        settings.*entry.field, ok);
        if (!ok) refused.push_back(entry.name);
    }
    return refused;
}

int GsTimeoutSeconds(const SettingsRecord& settings) {
    constexpr int kDefault = 600;
    constexpr int kLongest = 7 * 24 * 60 * 60;  // a week: beyond that it is no limit at all
    const std::string text = toolkit::TrimSpaces(settings.gsTimeout);
    if (text.empty() || text.size() > 7 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return kDefault;
    return std::min(std::stoi(text), kLongest);
}

const std::vector<SavingChoice>& SavingChoices() {
    static const std::vector<SavingChoice> choices{
        {"saveMode", &SettingsRecord::saveMode, {kAskMode, kAutoMode}},
        {"openPdf", &SettingsRecord::openPdf, {"0", "1"}},
        {"pdfQuality",
         &SettingsRecord::pdfQuality,
         {kDefaultQuality, "screen", "ebook", "printer", "prepress"}},
        {"pdfA", &SettingsRecord::pdfA, {"0", kPdfA2}},
        {"autoExisting", &SettingsRecord::autoExisting, {kUniqueExisting, kAppendExisting}},
    };
    return choices;
}

std::string CanonicalChoice(const std::string& value) {
    std::string plain = toolkit::TrimSpaces(value);
    std::transform(plain.begin(), plain.end(), plain.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return plain;
}

std::vector<std::string> NormaliseSavingChoices(SettingsRecord& settings) {
    std::vector<std::string> unknown;
    for (const SavingChoice& choice : SavingChoices()) {
        std::string& value = settings.*choice.field;
        const std::string plain = CanonicalChoice(value);
        const bool known =
            std::find(choice.values.begin(), choice.values.end(), plain) != choice.values.end();
        if (!known && !plain.empty()) unknown.push_back(std::string(choice.name) + "=" + value);
        value = known ? plain : choice.values.front();
    }
    return unknown;
}

bool SaveSettings(const SettingsRecord& settings, registry::RegistryFactory& registry,
                  toolkit::MsgBox& msgBox, std::vector<std::string>* refused) {
    try {
        std::unique_ptr<registry::RegistryAccess> reg = registry.Create();
        const std::vector<std::string> machineRefused =
            WriteMachineSettings(settings, ChangedMachineSettings(settings, *reg), *reg);
        bool allWritten = refused != nullptr || machineRefused.empty();
        if (refused != nullptr)
            refused->insert(refused->end(), machineRefused.begin(), machineRefused.end());
        for (const SettingEntry& entry : kSettingEntries) {
            if (entry.scope != Scope::User) continue;
            bool ok = false;
            reg->WriteString(registry::kHkeyCurrentUser, registry::kUserSettingsKey, entry.name,
                             settings.*entry.field, ok);
            allWritten = allWritten && ok;
        }
        if (!allWritten)
            msgBox.Show("Vellum settings could not be saved.", "Error!", toolkit::Icon::Error);
        return allWritten;
    } catch (const toolkit::RuntimeError& e) {
        toolkit::ErrorReport(msgBox, toolkit::ReportForm::Long, e);
        return false;
    }
}

}  // namespace vellum::settings
