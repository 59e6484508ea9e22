#include "xcv.h"

#include <winspool.h>

#include <string>

#include "log.h"
#include "port_registry.h"
#include "redmon_keys.h"
#include "setup/win32/redmon_config.h"
#include "toolkit/win32/handles.h"
#include "toolkit/win32/strings.h"

namespace vellum::testbed {
namespace {

using win32::kRedMonText;
using win32::kRedMonVersion;
using win32::RedMonPortConfig;

constexpr const char* kWho = "vredmon";

struct Xcv {
    ACCESS_MASK access;
};

// The text of a request's data: a terminated string within the given size, or nothing.
bool PortName(PBYTE input, DWORD size, std::wstring& name) {
    if (input == nullptr || size < sizeof(wchar_t)) return false;
    const auto* text = reinterpret_cast<const wchar_t*>(input);
    const size_t length = wcsnlen(text, size / sizeof(wchar_t));
    if (length == 0 || length == size / sizeof(wchar_t)) return false;
    name.assign(text, length);
    return true;
}

std::wstring PortKey(const std::wstring& port) {
    return std::wstring(kPortsKey) + L"\\" + port;
}

DWORD SetString(HKEY key, const wchar_t* name, const wchar_t* text) {
    const size_t length = wcsnlen(text, kRedMonText - 1);
    const std::wstring value(text, length);
    return static_cast<DWORD>(RegSetValueExW(key, name, 0, REG_SZ,
                                             reinterpret_cast<const BYTE*>(value.c_str()),
                                             static_cast<DWORD>((length + 1) * sizeof(wchar_t))));
}

DWORD SetNumber(HKEY key, const wchar_t* name, DWORD number) {
    return static_cast<DWORD>(RegSetValueExW(
        key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number)));
}

DWORD AddPort(const std::wstring& port) {
    if (ReadPortValue(port, L"Description") || ReadPortValue(port, L"Arguments"))
        return ERROR_INVALID_PARAMETER;  // RedMon refuses a name it already has
    HKEY raw = nullptr;
    LONG status = RegCreateKeyExW(HKEY_LOCAL_MACHINE, PortKey(port).c_str(), 0, nullptr, 0,
                                  KEY_WRITE, nullptr, &raw, nullptr);
    if (status != ERROR_SUCCESS) return static_cast<DWORD>(status);
    win32::RegKey key(raw);
    return SetString(key.Get(), L"Description", L"Redirected Port");
}

DWORD SetConfig(const RedMonPortConfig& config) {
    HKEY raw = nullptr;
    const std::wstring port(config.port, wcsnlen(config.port, kRedMonText - 1));
    // Like RedMon, only an existing port is configured.
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, PortKey(port).c_str(), 0, KEY_WRITE, &raw) !=
        ERROR_SUCCESS)
        return ERROR_INVALID_PARAMETER;
    win32::RegKey key(raw);
    DWORD status = SetString(key.Get(), L"Description", config.description);
    if (!status) status = SetString(key.Get(), L"Command", config.command);
    if (!status) status = SetString(key.Get(), L"Arguments", config.arguments);
    if (!status) status = SetString(key.Get(), L"Printer", config.printer);
    if (!status) status = SetNumber(key.Get(), L"Output", config.output);
    if (!status) status = SetNumber(key.Get(), L"ShowWindow", config.showWindow);
    if (!status) status = SetNumber(key.Get(), L"RunUser", config.runUser);
    if (!status) status = SetNumber(key.Get(), L"Delay", config.delay);
    if (!status) status = SetNumber(key.Get(), L"LogFileUse", config.logFileUse);
    if (!status) status = SetString(key.Get(), L"LogFileName", config.logFileName);
    if (!status) status = SetNumber(key.Get(), L"LogFileDebug", config.logFileDebug);
    if (!status) status = SetNumber(key.Get(), L"PrintError", config.printError);
    return status;
}

DWORD DeletePort(const std::wstring& port) {
    const LONG status = RegDeleteKeyW(HKEY_LOCAL_MACHINE, PortKey(port).c_str());
    return status == ERROR_SUCCESS ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER;
}

}  // namespace

BOOL WINAPI XcvOpenPort(HANDLE, LPCWSTR, ACCESS_MASK access, PHANDLE xcv) {
    if (xcv == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *xcv = new Xcv{access};
    return TRUE;
}

DWORD WINAPI XcvDataPort(HANDLE handle, LPCWSTR request, PBYTE input, DWORD inputSize, PBYTE, DWORD,
                         PDWORD) {
    const auto* xcv = static_cast<const Xcv*>(handle);
    if (xcv == nullptr || request == nullptr) return ERROR_INVALID_PARAMETER;
    const std::wstring what = request;
    const bool administer = (xcv->access & SERVER_ACCESS_ADMINISTER) != 0;
    std::wstring port;
    DWORD status = ERROR_INVALID_PARAMETER;
    if (what == L"AddPort" || what == L"DeletePort" || what == L"SetConfig") {
        if (!administer) {
            status = ERROR_ACCESS_DENIED;
        } else if (what == L"SetConfig") {
            const auto* config = reinterpret_cast<const RedMonPortConfig*>(input);
            if (input != nullptr && inputSize == sizeof(RedMonPortConfig) &&
                config->size == sizeof(RedMonPortConfig) && config->version == kRedMonVersion)
                status = SetConfig(*config);
        } else if (PortName(input, inputSize, port)) {
            status = what == L"AddPort" ? AddPort(port) : DeletePort(port);
        }
    } else if (what == L"PortExists" && PortName(input, inputSize, port)) {
        status = ReadPortValue(port, L"Description") || ReadPortValue(port, L"Arguments")
                     ? ERROR_PRINTER_ALREADY_EXISTS
                     : ERROR_SUCCESS;
    }
    if (status != ERROR_SUCCESS)
        Log(kWho, "XcvData " + win32::Narrow(what) + " failed with " + std::to_string(status));
    return status;
}

BOOL WINAPI XcvClosePort(HANDLE handle) {
    delete static_cast<Xcv*>(handle);
    return TRUE;
}

}  // namespace vellum::testbed
