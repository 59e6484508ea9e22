#pragma once

#include <string>
#include <vector>

#include "registry/registry_access.h"
#include "toolkit/msg_box.h"

namespace vellum::settings {

inline constexpr const char* kAskMode = "ask";
inline constexpr const char* kAutoMode = "auto";
inline constexpr const char* kDefaultQuality = "default";
inline constexpr const char* kPdfA2 = "2";

// The settings, as stored under HKLM\SOFTWARE\Vellum.
struct SettingsRecord {
    std::string gsExe;
    std::string gsFonts;
    std::string gsLib;
    std::string sendMail;
    std::string defDir;
    // How a printed document is saved.
    std::string saveMode = kAskMode;  // "ask" (Save As) or "auto"
    std::string autoDir{};            // the folder of automatic saving; "" means defDir
    std::string openPdf = "0";        // "1" opens the written PDF
    // "default" or one of Ghostscript's presets: screen, ebook, printer, prepress.
    std::string pdfQuality = kDefaultQuality;
    std::string pdfA = "0";  // "0" or "2" (PDF/A-2b)
};

// The values each saving choice takes, its default first.
struct SavingChoice {
    const char* name;
    std::string SettingsRecord::*field;
    std::vector<const char*> values;
};
const std::vector<SavingChoice>& SavingChoices();

// Puts each saving choice of `settings` in its canonical form (blanks trimmed, small letters);
// an empty value becomes its default, and so does an unknown one, whose "name=value" is
// returned so that the caller can record it.
std::vector<std::string> NormaliseSavingChoices(SettingsRecord& settings);

// The process-wide settings: filled by the start-up load and by the configuration window's
// save; everything else is handed the record it needs.
extern SettingsRecord Settings;

// Writes every setting of `settings`. Returns false, after telling the user, when any value
// could not be written or a run-time error was trapped.
bool SaveSettings(const SettingsRecord& settings, registry::RegistryFactory& registry,
                  toolkit::MsgBox& msgBox);

}  // namespace vellum::settings
