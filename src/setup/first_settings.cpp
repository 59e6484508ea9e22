#include "setup/first_settings.h"

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

}  // namespace vellum::setup
