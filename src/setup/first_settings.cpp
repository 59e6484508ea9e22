#include "setup/first_settings.h"

namespace vellum::setup {

std::vector<std::string> WriteFirstSettings(MachineRegistry& registry,
                                            const GhostscriptSettings& ghostscript) {
    struct Value {
        const char* name;
        std::string text;
        StringKind kind;
    };
    const Value values[] = {
        {"gsExe", ghostscript.gsExe, StringKind::Plain},
        {"gsLib", ghostscript.gsLib, StringKind::Plain},
        {"gsFonts", ghostscript.gsFonts, StringKind::Plain},
        {"defDir", kDefaultPdfFolder, StringKind::Expandable},
        {"sendMail", "0", StringKind::Plain},
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
