#pragma once

#include <functional>
#include <string>
#include <vector>

#include "config/print_platform.h"
#include "registry/machine_registry.h"
#include "toolkit/file_system.h"
#include "setup/printer_spooler.h"

namespace vellum::setup {

// Exit codes of the setup helper, which the installer script tells apart.
enum HelperExit : int {
    kExitDone = 0,
    kExitFailed = 1,
    kExitUsage = 2,
    kExitNoMonitor = 3,
    kExitNoRedRun = 4,
    kExitPrinterTaken = 5,
    kExitNotFound = 6,
    kExitSavingRefused = 7,  // the first settings are stored, none of the saving defaults
    kExitCannotWork = 8,     // protected print mode or ARM64: nothing may be installed
};

struct HelperServices {
    PrinterSpooler& spooler;
    registry::MachineRegistry& registry;
    toolkit::FileSystem& files;
    std::string ownFolder;     // the helper's folder, where vellum.exe is installed beside it
    std::string programFiles;  // the 64-bit Program Files folder
    std::string systemFolder;  // system32
    // Records a message in Vellum's log, for what a silent install cannot show; may be empty.
    std::function<void(const std::string&)> log;
    config::PrintPlatform platform = {};  // what check-platform judges
};

// What a run says: `output` is the result for the caller (a path, or key value lines);
// `message` is for a person, when there is something to tell.
struct HelperResult {
    int exitCode = kExitDone;
    std::string output;
    std::string message;
};

// The setup helper's commands (arguments after the program name):
//   find-ghostscript exe|lib|fonts      the path setup would store; kExitNotFound when none
//   settings [--gs-exe P] [--gs-lib P] [--gs-fonts P]
//            [--save-mode M] [--auto-dir P] [--quality Q] [--pdfa N]
//                                       the first settings; Ghostscript paths as given, or
//                                       as found when --gs-exe is not given; the saving
//                                       defaults given replace what is stored, unless
//                                       one is unknown: then none is (kExitSavingRefused)
//   check-saving [--save-mode M] [--auto-dir P] [--quality Q] [--pdfa N]
//                                       writes nothing; kExitSavingRefused and why, when
//                                       "settings" would refuse them
//   printer [--driver NAME]... [--redrun PATH] [--vellum PATH] [--printer NAME]
//                                       the port, the printer, rmExe and rmPort
//   remove                              the printer and port that "printer" made
//   check-platform                      kExitCannotWork and, as output, the reason when the
//                                       printer cannot work on this computer
// Never throws: failures become kExitFailed and a message.
HelperResult RunHelper(const std::vector<std::string>& arguments, HelperServices& services);

// The texts a person sees when the printer cannot be made.
inline constexpr const char* kRedMonNeeded =
    "Vellum prints through RedMon, the redirection port monitor, which is not installed.\n"
    "Install RedMon from https://www.ghostgum.com.au/software/redmon.htm and then choose "
    "\"Add Vellum PDF Printer\" in the Start Menu's Vellum folder.";
inline constexpr const char* kGhostscriptNeeded =
    "Vellum converts with Ghostscript, which was not found.\n"
    "Install the 64-bit Ghostscript from https://ghostscript.com/releases/gsdnld.html; "
    "Vellum's first start then asks for its folders.";

}  // namespace vellum::setup
