#pragma once

#include <optional>
#include <string>

#include "registry/machine_registry.h"
#include "toolkit/file_system.h"

namespace vellum::settings {

// Where Ghostscript's own installer records each installed version, in the 64-bit view.
inline constexpr const char* kGhostscriptKeys[] = {"SOFTWARE\\GPL Ghostscript",
                                                   "SOFTWARE\\Artifex Ghostscript"};

// What Vellum's settings need of one Ghostscript installation.
struct GhostscriptInstall {
    std::string version;
    std::string exe;    // gswin64c.exe beside the recorded GS_DLL
    std::string lib;    // its lib folder, "" when there is none
    std::string fonts;  // its fonts folder, "" when there is none
};

// The highest installed version whose console program exists. lib and fonts come from the
// entries of GS_LIB named so, else from the folders beside the DLL's folder, each only where
// the folder exists. Nothing when no version qualifies. Never throws.
std::optional<GhostscriptInstall> FindGhostscript(registry::MachineRegistry& registry,
                                                  toolkit::FileSystem& files);

// Orders dotted version names by their numbers ("9.56.1" < "10.02.0"); <0, 0 or >0.
int CompareVersions(const std::string& a, const std::string& b);

}  // namespace vellum::settings
