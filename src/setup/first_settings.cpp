#include "setup/first_settings.h"

#include <algorithm>

#include "settings/settings.h"
#include "toolkit/paths.h"
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

namespace {

// A folder for every job to find: a drive's (D:\PDF), a share's (\\server\pdf) or one named
// from a variable (%PUBLIC%\PDF); a relative one would depend on each job's working folder.
bool IsFullFolder(const std::string& folder) {
    return toolkit::IsFullPath(folder) || folder.rfind('%', 0) == 0;
}

}  // namespace

std::string SavingDefaultsProblem(const SavingDefaults& d) {
    const struct {
        const char* name;
        const char* option;
        const std::string& text;
    } values[] = {{"saveMode", "/SAVEMODE=", d.saveMode},
                  {"autoDir", "/AUTODIR=", d.autoDir},
                  {"pdfQuality", "/QUALITY=", d.quality},
                  {"pdfA", "/PDFA=", d.pdfA},
                  {"autoExisting", "/AUTOEXISTING=", d.autoExisting},
                  {"autoName", "/AUTONAME=", d.autoName}};
    std::string problems;
    for (const auto& value : values) {
        if (value.text.empty()) continue;
        std::string takes;
        if (value.name == std::string("autoDir") && !IsFullFolder(value.text))
            takes = "a full path, such as D:\\PDF or \\\\server\\pdf\\<user>";
        for (const settings::SavingChoice& choice : settings::SavingChoices()) {
            if (choice.name != std::string(value.name) ||
                std::find(choice.values.begin(), choice.values.end(),
                          settings::CanonicalChoice(value.text)) != choice.values.end())
                continue;
            for (size_t i = 0; i < choice.values.size(); ++i)
                takes += (i == 0                          ? ""
                          : i + 1 == choice.values.size() ? " or "
                                                          : ", ") +
                         std::string(choice.values[i]);
        }
        if (!takes.empty())
            problems += (problems.empty() ? "" : "; ") + std::string(value.option) + value.text +
                        " is unknown (it takes " + takes + ")";
    }
    return problems;
}

std::vector<std::string> WriteSavingDefaults(registry::MachineRegistry& registry,
                                             const SavingDefaults& defaults) {
    // Every value is checked before any is written: a typing error leaves the machine as it was.
    const std::string problem = SavingDefaultsProblem(defaults);
    if (!problem.empty()) throw toolkit::VellumError(5, problem);
    // A choice is stored as Vellum reads it ("Auto" as auto); a folder or name as typed.
    using settings::CanonicalChoice;
    const std::pair<const char*, std::string> values[] = {
        {"saveMode", CanonicalChoice(defaults.saveMode)},
        {"autoDir", defaults.autoDir},
        {"pdfQuality", CanonicalChoice(defaults.quality)},
        {"pdfA", CanonicalChoice(defaults.pdfA)},
        {"autoExisting", CanonicalChoice(defaults.autoExisting)},
        {"autoName", defaults.autoName}};
    std::vector<std::string> written;
    for (const auto& [name, text] : values) {
        if (text.empty()) continue;
        registry.WriteString(kVellumKey, name, text, registry::StringKind::Plain);
        written.push_back(name);
    }
    return written;
}

}  // namespace vellum::setup
