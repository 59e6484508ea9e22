#pragma once

// Whether a printer on a RedMon port can work on this computer at all: Windows protected print
// mode allows no third-party port monitor, and an ARM64 spooler cannot load RedMon's x64 one.

#include <optional>
#include <string>
#include <vector>

namespace vellum::config {

inline constexpr unsigned short kMachineArm64 = 0xAA64;  // IMAGE_FILE_MACHINE_ARM64

struct PrintPlatform {
    // HKLM\Software\Policies\Microsoft\Windows NT\Printers\WPP,
    // WindowsProtectedPrintGroupPolicyState; nothing when not set.
    std::optional<unsigned long> wppPolicy;
    // HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Print\WPP, WindowsProtectedPrintMode.
    std::optional<unsigned long> wppMode;
    unsigned short nativeMachine = 0;  // IsWow64Process2's native machine
    // Windows' own answer (WindowsProtectedPrintInfo.IsProtectedPrintEnabled, Windows 11 24H2
    // and later); where it has one, it decides over the two values above.
    std::optional<bool> protectedPrint = std::nullopt;
};

// Why the Vellum PDF printer cannot work here and what to do, in one sentence a person can
// act on; "" when it can.
std::string PrintPlatformProblem(const PrintPlatform& platform);

// What Configure Vellum says on opening: the platform's problem when the configured port is not
// among the RedMon ports listed (the platform is then why); "" while the port is there.
std::string MissingPortProblem(const PrintPlatform& platform, const std::string& port,
                               const std::vector<std::string>& redMonPorts);

}  // namespace vellum::config
