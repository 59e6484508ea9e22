#pragma once

#include <string>
#include <vector>

#include "registry/machine_registry.h"

namespace vellum::setup {

inline constexpr const char* kVellumKey = "SOFTWARE\\Vellum";
// Each user's own Documents folder: stored expandable, so that it resolves per user.
inline constexpr const char* kDefaultPdfFolder = "%USERPROFILE%\\Documents";

// The Ghostscript paths setup found or the user chose; an empty one is not written.
struct GhostscriptSettings {
    std::string gsExe;
    std::string gsLib;
    std::string gsFonts;
};

// Writes the settings a first print needs: the given Ghostscript paths, defDir and sendMail
// "0". A value already stored is kept as the user left it (an upgrade changes nothing the user
// set). Returns the names written, in that order. Throws toolkit::RuntimeError.
std::vector<std::string> WriteFirstSettings(registry::MachineRegistry& registry,
                                            const GhostscriptSettings& ghostscript);

// How printed documents are saved on this machine, as an administrator deploys it; an empty
// value is not written. Each value given replaces the stored one.
struct SavingDefaults {
    std::string saveMode;  // ask, auto
    std::string autoDir;
    std::string quality;            // default, screen, ebook, printer, prepress
    std::string pdfA;               // 0, 2
    std::string autoExisting = {};  // unique, append
    std::string autoName = {};      // the name template of automatic saving
};

// Why the saving defaults cannot be stored: each switch (/SAVEMODE=, /AUTODIR=, /QUALITY=,
// /PDFA=, /AUTOEXISTING=, /AUTONAME=) whose value is none its setting takes, with the values it
// takes, joined by "; ";
// "" when every value given is one. Setup asks before it writes anything.
std::string SavingDefaultsProblem(const SavingDefaults& defaults);

// Writes the given saving defaults (saveMode, autoDir, pdfQuality, pdfA,
// autoExisting, autoName) and returns the names
// written. Nothing is written when SavingDefaultsProblem finds one: that is thrown as
// toolkit::RuntimeError.
std::vector<std::string> WriteSavingDefaults(registry::MachineRegistry& registry,
                                             const SavingDefaults& defaults);

}  // namespace vellum::setup
