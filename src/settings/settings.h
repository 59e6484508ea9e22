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
inline constexpr const char* kUniqueExisting = "unique";
inline constexpr const char* kAppendExisting = "append";
inline constexpr const char* kDefaultAutoName = "<title>";  // also what a blank autoName means

// The settings, as stored under Software\Vellum.
struct SettingsRecord {
    std::string gsExe;
    std::string gsFonts;
    std::string gsLib;
    std::string sendMail;
    std::string defDir;
    // How a printed document is saved.
    std::string saveMode = kAskMode;  // "ask" (Save As) or "auto"
    // The folder of automatic saving ("" means defDir), and of a job no one is asked about
    // ("" there means %ProgramData%\Vellum\Unsaved\<user>).
    std::string autoDir{};
    std::string openPdf = "0";  // "1" opens the written PDF
    // "default" or one of Ghostscript's presets: screen, ebook, printer, prepress.
    std::string pdfQuality = kDefaultQuality;
    std::string pdfA = "0";  // "0" or "2" (PDF/A-2b)
    // Seconds Ghostscript may run for a job no one sees before it is ended; "0" for no limit.
    std::string gsTimeout = "600";
    // Saved without asking, a PDF of that name: "unique" saves "name (2).pdf"..., "append" adds
    // the pages at its end.
    std::string autoExisting = kUniqueExisting;
    // The name of a PDF saved without asking, from tokens such as <title> and <date>.
    std::string autoName = kDefaultAutoName;
};

// gsTimeout in seconds: its default (600) when it is no whole number of seconds; 0 for none.
int GsTimeoutSeconds(const SettingsRecord& settings);

// Machine settings live in HKLM alone and need an administrator to change. User settings are
// each user's own: read from HKCU first, then from HKLM, where setup stores the machine's
// defaults; saved to HKCU, which every user may write. A machine policy is read from HKLM alone
// and set there by an administrator only: the configuration window never writes it.
enum class Scope { Machine, User, MachinePolicy };

struct SettingEntry {
    const char* name;
    std::string SettingsRecord::*field;
    Scope scope;
};

// Every setting in its order of reading and writing. A new setting is one row here.
inline const SettingEntry kSettingEntries[] = {
    {"gsExe", &SettingsRecord::gsExe, Scope::Machine},
    {"gsFonts", &SettingsRecord::gsFonts, Scope::Machine},
    {"gsLib", &SettingsRecord::gsLib, Scope::Machine},
    {"sendMail", &SettingsRecord::sendMail, Scope::User},
    {"defDir", &SettingsRecord::defDir, Scope::User},
    {"autoDir", &SettingsRecord::autoDir, Scope::User},
    {"saveMode", &SettingsRecord::saveMode, Scope::User},
    {"openPdf", &SettingsRecord::openPdf, Scope::User},
    {"pdfQuality", &SettingsRecord::pdfQuality, Scope::User},
    {"pdfA", &SettingsRecord::pdfA, Scope::User},
    {"gsTimeout", &SettingsRecord::gsTimeout, Scope::MachinePolicy},
    {"autoExisting", &SettingsRecord::autoExisting, Scope::User},
    {"autoName", &SettingsRecord::autoName, Scope::User},
};

// The values each saving choice takes, its default first.
struct SavingChoice {
    const char* name;
    std::string SettingsRecord::*field;
    std::vector<const char*> values;
};
const std::vector<SavingChoice>& SavingChoices();

// A saving choice's value as Vellum compares and stores it: blanks trimmed, small letters.
std::string CanonicalChoice(const std::string& value);

// Puts each saving choice of `settings` in its canonical form (blanks trimmed, small letters);
// an empty value becomes its default, and so does an unknown one, whose "name=value" is
// returned so that the caller can record it.
std::vector<std::string> NormaliseSavingChoices(SettingsRecord& settings);

// The process-wide settings: filled by the start-up load and by the configuration window's
// save; everything else is handed the record it needs.
extern SettingsRecord Settings;

// Reads one setting into `record` by its scope; false when it is stored nowhere (the field is
// then left as it was). May throw toolkit::RuntimeError from the component.
bool ReadSetting(registry::RegistryAccess& reg, const SettingEntry& entry, SettingsRecord& record);

// The machine settings of `settings` that differ from what HKLM holds (or that HKLM lacks).
std::vector<std::string> ChangedMachineSettings(const SettingsRecord& settings,
                                                registry::RegistryAccess& reg);

// Writes the user settings of `settings` to HKCU and those machine settings that changed to
// HKLM. Machine settings HKLM refused are added to `refused`, when the caller takes them (it
// may ask for elevation for that part); without `refused` they count as a failure. Returns
// false, after telling the user, when any other value could not be written or a run-time error
// was trapped.
bool SaveSettings(const SettingsRecord& settings, registry::RegistryFactory& registry,
                  toolkit::MsgBox& msgBox, std::vector<std::string>* refused = nullptr);

// Writes the named machine settings of `settings` to HKLM; the names HKLM refused.
std::vector<std::string> WriteMachineSettings(const SettingsRecord& settings,
                                              const std::vector<std::string>& names,
                                              registry::RegistryAccess& reg);

}  // namespace vellum::settings
