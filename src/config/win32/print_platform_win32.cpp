#include "config/win32/print_platform_win32.h"

#include <windows.h>

namespace vellum::win32 {

namespace {

// A 64-bit program reads the 64-bit view, where the spooler keeps its values.
std::optional<unsigned long> MachineDword(const wchar_t* key, const wchar_t* name) {
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

unsigned short NativeMachine() {
    using IsWow64Process2Fn = BOOL(WINAPI*)(HANDLE, USHORT*, USHORT*);
    const auto isWow64Process2 = reinterpret_cast<IsWow64Process2Fn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "IsWow64Process2")));
    USHORT process = 0, native = 0;
    if (isWow64Process2 && isWow64Process2(GetCurrentProcess(), &process, &native)) return native;
    SYSTEM_INFO info{};
    GetNativeSystemInfo(&info);
    return info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_ARM64 ? config::kMachineArm64 : 0;
}

}  // namespace

config::PrintPlatform ReadPrintPlatform() {
    return {MachineDword(L"Software\\Policies\\Microsoft\\Windows NT\\Printers\\WPP",
                         L"WindowsProtectedPrintGroupPolicyState"),
            MachineDword(L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Print\\WPP",
                         L"WindowsProtectedPrintMode"),
            NativeMachine()};
}

}  // namespace vellum::win32
