#include "setup/first_settings.h"

#include <algorithm>

#include "settings/settings.h"
#include "toolkit/runtime_error.h"

namespace vellum::setup {

std::vector<std::string> WriteFirstSettings(registry::MachineRegistry& registry,
                                            const GhostscriptSettings& ghostscript) {
    struct Value {
        const char* name;
        std::string text;
        registry::StringKind kind;
    };
    const Value values[] = {
        {"gsExe", ghostscript.gsExe, registry::StringKind::Plain},
        {"gsLib", ghostscript.gsLib, registry::StringKind::Plain},
        {"gsFonts", ghostscript.gsFonts, registry::StringKind::Plain},
        {"defDir", kDefaultPdfFolder, registry::StringKind::Expandable},
        {"sendMail", "0", registry::StringKind::Plain},
    };
    std::vector<std::string> written;
    for (const Value& value : values) {
        if (value.text.empty() || registry.HasValue(kVellumKey, value.name)) continue;
        registry.WriteString(kVellumKey, value.name, value.text, value.kind);
        written.push_back(value.name);
    }
    return written;
}

std::vector<std::string> WriteSavingDefaults(registry::MachineRegistry& registry,
                                             const SavingDefaults& defaults) {
    const std::pair<const char*, const std::string&> values[] = {
        {"saveMode", defaults.saveMode},         {"autoDir", defaults.autoDir},
        {"pdfQuality", defaults.quality},        {"pdfA", defaults.pdfA},
        {"autoExisting", defaults.autoExisting}, {"autoName", defaults.autoName}};
    // Every value is checked before any is written: a typing error leaves the machine as it was.
    for (const auto& [name, text] : values) {
        for (const settings::SavingChoice& choice : settings::SavingChoices()) {
            if (text.empty() || choice.name != std::string(name)) continue;
            if (std::find(choice.values.begin(), choice.values.end(), text) == choice.values.end())
                throw toolkit::VellumError(5, "\"" + text + "\" is no value of " + name + ".");
        }
    }
    std::vector<std::string> written;
    for (const auto& [name, text] : values) {
        if (text.empty()) continue;
        registry.WriteString(kVellumKey, name, text, registry::StringKind::Plain);
        written.push_back(name);
    }
    return written;
}

}  // namespace vellum::setup
