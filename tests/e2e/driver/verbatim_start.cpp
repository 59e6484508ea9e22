#include "driver/verbatim_start.h"

#include <winternl.h>

#include <cstdio>
#include <string>

#include "driver/error.h"
#include "toolkit/win32/strings.h"
#include "toolkit/win32/system_error.h"

namespace vellum::e2e::internal {

namespace {

// The few native structures NtCreateUserProcess takes, as the x64 system lays them out; the
// SDK's headers do not declare them.
struct PsCreateInfo {
    SIZE_T size;
    ULONG state;
    BYTE rest[76];  // the state's union: written by the system, not read here
};
static_assert(sizeof(PsCreateInfo) == 88);

struct PsAttribute {
    ULONG_PTR attribute;
    SIZE_T size;
    void* value;
    SIZE_T* returnLength;
};

struct PsAttributeList {
    SIZE_T totalLength;
    PsAttribute attributes[1];
};

constexpr ULONG_PTR kPsAttributeImageName = 0x20005;
constexpr ULONG kParametersNormalized = 1;

using RtlCreateProcessParametersExFn = NTSTATUS(NTAPI*)(
    RTL_USER_PROCESS_PARAMETERS** parameters, UNICODE_STRING* imagePath, UNICODE_STRING* dllPath,
    UNICODE_STRING* currentFolder, UNICODE_STRING* commandLine, void* environment,
    UNICODE_STRING* windowTitle, UNICODE_STRING* desktop, UNICODE_STRING* shellInfo,
    UNICODE_STRING* runtimeData, ULONG flags);
using RtlDestroyProcessParametersFn = NTSTATUS(NTAPI*)(RTL_USER_PROCESS_PARAMETERS* parameters);
using NtCreateUserProcessFn = NTSTATUS(NTAPI*)(
    HANDLE* process, HANDLE* thread, ACCESS_MASK processAccess, ACCESS_MASK threadAccess,
    void* processAttributes, void* threadAttributes, ULONG processFlags, ULONG threadFlags,
    RTL_USER_PROCESS_PARAMETERS* parameters, PsCreateInfo* createInfo, PsAttributeList* attributes);
using RtlNtStatusToDosErrorFn = ULONG(NTAPI*)(NTSTATUS status);

// A UNICODE_STRING over `text`, which must outlive it.
UNICODE_STRING Counted(const std::wstring& text) {
    UNICODE_STRING counted{};
    counted.Length = static_cast<USHORT>(text.size() * sizeof(wchar_t));
    counted.MaximumLength = static_cast<USHORT>(counted.Length + sizeof(wchar_t));
    counted.Buffer = const_cast<wchar_t*>(text.c_str());
    return counted;
}

template <typename Function>
Function Entry(HMODULE ntdll, const char* name) {
    const FARPROC entry = GetProcAddress(ntdll, name);
    if (!entry) {
        const DWORD error = GetLastError();
        throw DriverError(std::string("ntdll.dll has no ") + name + ": error " +
                          std::to_string(error) + " (" + win32::SystemMessage(error) + ")");
    }
    return reinterpret_cast<Function>(reinterpret_cast<void*>(entry));
}

// The NT form of a full Win32 path: \??\C:\... or \??\UNC\server\share\...
std::wstring NtPath(const std::wstring& path) {
    if (path.rfind(L"\\\\", 0) == 0) return L"\\??\\UNC\\" + path.substr(2);
    return L"\\??\\" + path;
}

}  // namespace

StartedProcess StartVerbatim(const std::wstring& imagePath, const std::wstring& commandLine,
                             const wchar_t* environment, const std::wstring& currentFolder) {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (!ntdll) throw DriverError("ntdll.dll is not loaded");
    const auto createParameters =
        Entry<RtlCreateProcessParametersExFn>(ntdll, "RtlCreateProcessParametersEx");
    const auto destroyParameters =
        Entry<RtlDestroyProcessParametersFn>(ntdll, "RtlDestroyProcessParameters");
    const auto createProcess = Entry<NtCreateUserProcessFn>(ntdll, "NtCreateUserProcess");
    const auto toDosError = Entry<RtlNtStatusToDosErrorFn>(ntdll, "RtlNtStatusToDosError");

    const std::string what = "cannot start " + win32::Narrow(commandLine);
    auto fail = [&](const char* step, NTSTATUS status) {
        const ULONG error = toDosError(status);
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%08lx", static_cast<unsigned long>(status));
        throw DriverError(what + ": " + step + " failed with status " + hex + ", error " +
                          std::to_string(error) + " (" + win32::SystemMessage(error) + ")");
    };

    const std::wstring desktop = L"WinSta0\\Default";
    UNICODE_STRING image = Counted(imagePath);
    UNICODE_STRING folder = Counted(currentFolder);
    UNICODE_STRING line = Counted(commandLine);
    UNICODE_STRING title = Counted(imagePath);  // what CreateProcess gives as the title too
    UNICODE_STRING desktopName = Counted(desktop);
    RTL_USER_PROCESS_PARAMETERS* parameters = nullptr;
    NTSTATUS status = createParameters(&parameters, &image, nullptr, &folder, &line,
                                       const_cast<wchar_t*>(environment), &title, &desktopName,
                                       nullptr, nullptr, kParametersNormalized);
    if (status < 0) fail("RtlCreateProcessParametersEx", status);

    const std::wstring ntImage = NtPath(imagePath);
    PsCreateInfo createInfo{};
    createInfo.size = sizeof createInfo;
    PsAttributeList attributes{};
    attributes.totalLength = sizeof attributes;
    attributes.attributes[0].attribute = kPsAttributeImageName;
    attributes.attributes[0].size = ntImage.size() * sizeof(wchar_t);
    attributes.attributes[0].value = const_cast<wchar_t*>(ntImage.c_str());

    StartedProcess started;
    status = createProcess(&started.process, &started.thread, PROCESS_ALL_ACCESS, THREAD_ALL_ACCESS,
                           nullptr, nullptr, 0, 0, parameters, &createInfo, &attributes);
    destroyParameters(parameters);
    if (status < 0) fail("NtCreateUserProcess", status);
    return started;
}

}  // namespace vellum::e2e::internal
