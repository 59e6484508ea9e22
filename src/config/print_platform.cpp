#include "config/print_platform.h"

#include <algorithm>

#include "toolkit/paths.h"
#include "toolkit/text.h"

namespace vellum::config {

std::string PrintPlatformProblem(const PrintPlatform& p) {
    if (p.nativeMachine == kMachineArm64)
        return "The Vellum PDF printer cannot work on this computer: Windows on ARM64 cannot load "
               "RedMon, the x64 port monitor Vellum prints through, and there is no remedy today.";
    // Windows' own answer decides where there is one; then the policy, where set; otherwise the
    // user's own switch. The policy names who turned it on.
    const bool byPolicy = p.wppPolicy && *p.wppPolicy != 0;
    const bool on = p.protectedPrint ? *p.protectedPrint
                                     : byPolicy || (!p.wppPolicy && p.wppMode && *p.wppMode != 0);
    if (!on) return "";
    if (byPolicy)
        return "The Vellum PDF printer cannot work on this computer: Windows protected print mode "
               "is turned on by your organization's policy and allows no printer built on a port "
               "monitor such as RedMon; ask your administrator to turn the policy off, then run "
               "Vellum's setup again.";
    return "The Vellum PDF printer cannot work on this computer: Windows protected print mode "
           "is on and allows no printer built on a port monitor such as RedMon; turn it off "
           "under Settings > Bluetooth & devices > Printers & scanners > Printer preferences, "
           "then run Vellum's setup again.";
}

std::string MissingPortProblem(const PrintPlatform& platform, const std::string& port,
                               const std::vector<std::string>& redMonPorts) {
    const std::string wanted = toolkit::TrimSpaces(port);
    const auto same = [&](const std::string& listed) { return toolkit::SameName(listed, wanted); };
    if (std::any_of(redMonPorts.begin(), redMonPorts.end(), same)) return "";
    return PrintPlatformProblem(platform);
}

}  // namespace vellum::config
