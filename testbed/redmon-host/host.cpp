// Hosts the real RedMon's monitor DLL under Wine's spooler. Wine hands InitializePrintMonitor2
// a MONITORINIT that lives on its own stack and registry callbacks that are not implemented,
// while RedMon keeps that pointer and reads every port value through those callbacks: its
// first XcvData call crashes. Registered as the "Redirected Port" monitor's Driver in RedMon's
// place, this DLL gives RedMon a MONITORINIT that lives as long as the process, with the
// monitor's own key as the root and callbacks that are plain registry calls, and hands
// RedMon's MONITOR2 to the spooler unchanged. Windows needs no such host.
//
// RedMon's DLL is redmon64.dll beside this one.

#include <windows.h>
#include <winspool.h>
#include <winsplp.h>

#include <string>

namespace {

constexpr const wchar_t* kMonitorKey =
    L"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Redirected Port";

HKEY Key(HANDLE handle) {
    return static_cast<HKEY>(handle);
}

LONG WINAPI CreateKey(HANDLE key, LPCWSTR subKey, DWORD options, REGSAM access,
                      PSECURITY_ATTRIBUTES security, PHANDLE result, PDWORD disposition, HANDLE) {
    return RegCreateKeyExW(Key(key), subKey, 0, nullptr, options, access, security,
                           reinterpret_cast<PHKEY>(result), disposition);
}

LONG WINAPI OpenKey(HANDLE key, LPCWSTR subKey, REGSAM access, PHANDLE result, HANDLE) {
    return RegOpenKeyExW(Key(key), subKey, 0, access, reinterpret_cast<PHKEY>(result));
}

LONG WINAPI CloseKey(HANDLE key, HANDLE) {
    return RegCloseKey(Key(key));
}

LONG WINAPI DeleteKey(HANDLE key, LPCWSTR subKey, HANDLE) {
    return RegDeleteKeyW(Key(key), subKey);
}

LONG WINAPI EnumKey(HANDLE key, DWORD index, LPWSTR name, PDWORD nameLength, PFILETIME written,
                    HANDLE) {
    return RegEnumKeyExW(Key(key), index, name, nameLength, nullptr, nullptr, nullptr, written);
}

LONG WINAPI QueryInfoKey(HANDLE key, PDWORD subKeys, PDWORD subKeyLength, PDWORD values,
                         PDWORD valueNameLength, PDWORD valueLength, PDWORD security,
                         PFILETIME written, HANDLE) {
    return RegQueryInfoKeyW(Key(key), nullptr, nullptr, nullptr, subKeys, subKeyLength, nullptr,
                            values, valueNameLength, valueLength, security, written);
}

LONG WINAPI SetValue(HANDLE key, LPCWSTR name, DWORD type, const BYTE* data, DWORD size, HANDLE) {
    return RegSetValueExW(Key(key), name, 0, type, data, size);
}

LONG WINAPI DeleteValue(HANDLE key, LPCWSTR name, HANDLE) {
    return RegDeleteValueW(Key(key), name);
}

LONG WINAPI EnumValue(HANDLE key, DWORD index, LPWSTR name, PDWORD nameLength, PDWORD type,
                      PBYTE data, PDWORD size, HANDLE) {
    return RegEnumValueW(Key(key), index, name, nameLength, nullptr, type, data, size);
}

LONG WINAPI QueryValue(HANDLE key, LPCWSTR name, PDWORD type, PBYTE data, PDWORD size, HANDLE) {
    return RegQueryValueExW(Key(key), name, nullptr, type, data, size);
}

MONITORREG registry = {sizeof(MONITORREG), CreateKey, OpenKey,     CloseKey,  DeleteKey, EnumKey,
                       QueryInfoKey,       SetValue,  DeleteValue, EnumValue, QueryValue};

// What RedMon keeps a pointer to for as long as it is loaded.
MONITORINIT init{};

using InitializeFunction = LPMONITOR2(WINAPI*)(PMONITORINIT, PHANDLE);

std::wstring OwnFolder() {
    HMODULE self = nullptr;
    wchar_t path[MAX_PATH];
    if (!GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCWSTR>(&OwnFolder), &self))
        return {};
    const DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    const std::wstring file(path, length);
    return file.substr(0, file.find_last_of(L'\\') + 1);
}

void Report(const std::wstring& what, DWORD error) {
    OutputDebugStringW(
        (L"redmon-host: " + what + L" (error " + std::to_wstring(error) + L")\n").c_str());
}

}  // namespace

extern "C" __declspec(dllexport) LPMONITOR2 WINAPI
    InitializePrintMonitor2(PMONITORINIT, PHANDLE monitor) {
    // The spooler unloads its monitors after each call; RedMon, and with it this DLL's
    // callbacks and MONITORINIT, must stay where RedMon's pointers lead.
    HMODULE pinned = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCWSTR>(&registry), &pinned);
    if (init.cbSize == 0) {
        HKEY root = nullptr;
        const LONG status = RegCreateKeyExW(HKEY_LOCAL_MACHINE, kMonitorKey, 0, nullptr, 0,
                                            KEY_ALL_ACCESS, nullptr, &root, nullptr);
        if (status != ERROR_SUCCESS) {
            Report(L"cannot open the monitor's key", static_cast<DWORD>(status));
            SetLastError(static_cast<DWORD>(status));
            return nullptr;
        }
        init.cbSize = sizeof(init);
        init.hSpooler = nullptr;
        init.hckRegistryRoot = reinterpret_cast<HKEYMONITOR>(root);
        init.pMonitorReg = &registry;
        init.bLocal = TRUE;
        init.pszServerName = nullptr;
    }
    const std::wstring dll = OwnFolder() + L"redmon64.dll";
    const HMODULE redmon = LoadLibraryW(dll.c_str());
    if (redmon == nullptr) {
        const DWORD error = GetLastError();
        Report(L"cannot load " + dll, error);
        SetLastError(error);
        return nullptr;
    }
    const auto initialize = reinterpret_cast<InitializeFunction>(
        reinterpret_cast<void*>(GetProcAddress(redmon, "InitializePrintMonitor2")));
    if (initialize == nullptr) {
        const DWORD error = GetLastError();
        Report(dll + L" has no InitializePrintMonitor2", error);
        SetLastError(error);
        return nullptr;
    }
    return initialize(&init, monitor);
}
