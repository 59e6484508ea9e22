#include "config/win32/print_platform_win32.h"

#include <windows.h>
#include <objbase.h>

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

// The one question Microsoft documents for protected print mode:
// Windows.Graphics.Printing.ProtectedPrint.WindowsProtectedPrintInfo.IsProtectedPrintEnabled
// (Windows 11 24H2 and later), asked through the WinRT ABI since MinGW has no header for it.
// Nothing where Windows has no such class (older Windows, Wine).
std::optional<bool> AskWindowsForProtectedPrint() {
    struct Statics {  // IWindowsProtectedPrintInfoStatics: IInspectable, then its one property
        struct Table {
            HRESULT(WINAPI* QueryInterface)(Statics*, const GUID&, void**);
            ULONG(WINAPI* AddRef)(Statics*);
            ULONG(WINAPI* Release)(Statics*);
            void* GetIids;
            void* GetRuntimeClassName;
            void* GetTrustLevel;
            HRESULT(WINAPI* get_IsProtectedPrintEnabled)(Statics*, BYTE*);
        };
        const Table* table;
    };
    static const GUID kStaticsIid = {
        0xa7d212f3, 0x4168, 0x5485, {0x98, 0xab, 0xd8, 0x9d, 0x04, 0x60, 0x3b, 0x40}};
    static const wchar_t kClass[] =
        L"Windows.Graphics.Printing.ProtectedPrint.WindowsProtectedPrintInfo";
    const HMODULE combase = LoadLibraryExW(L"combase.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (combase == nullptr) return std::nullopt;
    struct StringHeader {  // HSTRING_HEADER: room the string reference is kept in
        void* reserved[3];
    };
    using MakeReference = HRESULT(WINAPI*)(const wchar_t*, UINT32, StringHeader*, void**);
    using GetFactory = HRESULT(WINAPI*)(void*, const GUID&, void**);
    const auto makeReference = reinterpret_cast<MakeReference>(
        reinterpret_cast<void*>(GetProcAddress(combase, "WindowsCreateStringReference")));
    const auto getFactory = reinterpret_cast<GetFactory>(
        reinterpret_cast<void*>(GetProcAddress(combase, "RoGetActivationFactory")));
    std::optional<bool> answer;
    if (makeReference != nullptr && getFactory != nullptr) {
        // The thread may already be in an apartment (the configuration window's); otherwise it
        // joins one for this question alone.
        const HRESULT joined = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        StringHeader header{};
        void* name = nullptr;
        Statics* statics = nullptr;
        BYTE enabled = 0;
        if (SUCCEEDED(makeReference(kClass, static_cast<UINT32>(wcslen(kClass)), &header, &name)) &&
            SUCCEEDED(getFactory(name, kStaticsIid, reinterpret_cast<void**>(&statics))) &&
            statics != nullptr) {
            if (SUCCEEDED(statics->table->get_IsProtectedPrintEnabled(statics, &enabled)))
                answer = enabled != 0;
            statics->table->Release(statics);
        }
        if (SUCCEEDED(joined)) CoUninitialize();
    }
    FreeLibrary(combase);
    return answer;
}

}  // namespace

config::PrintPlatform ReadPrintPlatform() {
    return {MachineDword(L"Software\\Policies\\Microsoft\\Windows NT\\Printers\\WPP",
                         L"WindowsProtectedPrintGroupPolicyState"),
            MachineDword(L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Print\\WPP",
                         L"WindowsProtectedPrintMode"),
            NativeMachine(), AskWindowsForProtectedPrint()};
}

}  // namespace vellum::win32
