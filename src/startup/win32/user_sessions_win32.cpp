#include "startup/win32/user_sessions_win32.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>
#include <userenv.h>
#include <winspool.h>
#include <wtsapi32.h>

#include <algorithm>
#include <vector>

#include "toolkit/win32/file_security_win32.h"
#include "toolkit/win32/handles.h"
#include "toolkit/win32/printer_handle.h"
#include "toolkit/win32/process_start.h"
#include "toolkit/win32/strings.h"
#include "toolkit/win32/system_error.h"

namespace vellum::win32 {

namespace {

struct WtsMemoryTraits {
    static void* Invalid() { return nullptr; }
    static bool IsValid(void* p) { return p != nullptr; }
    static void Close(void* p) { WTSFreeMemory(p); }
};
using WtsMemory = UniqueHandle<void*, WtsMemoryTraits>;

struct EnvironmentTraits {
    static void* Invalid() { return nullptr; }
    static bool IsValid(void* p) { return p != nullptr; }
    static void Close(void* p) { DestroyEnvironmentBlock(p); }
};
using EnvironmentBlock = UniqueHandle<void*, EnvironmentTraits>;

template <class T>
startup::Found<T> Failed(const std::string& what, DWORD code) {
    return {std::nullopt, SystemErrorText(what, code)};
}

std::string SessionText(unsigned long session, WTS_INFO_CLASS what) {
    wchar_t* text = nullptr;
    DWORD bytes = 0;
    if (!WTSQuerySessionInformationW(WTS_CURRENT_SERVER_HANDLE, session, what, &text, &bytes))
        return {};
    const WtsMemory owner(text);
    return Narrow(text);
}

// The account's SID as SDDL text ("S-1-5-21-..."), or the failure.
startup::Found<std::wstring> SidText(const std::string& account) {
    const std::string sid = AccountSid(account);
    if (sid.empty()) return Failed<std::wstring>("The SID of " + account, GetLastError());
    return {Widen(sid), ""};
}

bool SameName(const std::wstring& entry, const std::wstring& name) {
    return entry.size() > name.size() && entry[name.size()] == L'=' &&
           CompareStringOrdinal(entry.c_str(), static_cast<int>(name.size()), name.c_str(),
                                static_cast<int>(name.size()), TRUE) == CSTR_EQUAL;
}

// The user's environment with `variables` set in it, as one block, sorted by name as Windows
// keeps environments.
std::vector<wchar_t> MergedBlock(
    const wchar_t* block, const std::vector<std::pair<std::string, std::string>>& variables) {
    std::vector<std::wstring> entries;
    for (const wchar_t* p = block; p && *p; p += wcslen(p) + 1) entries.emplace_back(p);
    for (const auto& [name, value] : variables) {
        const std::wstring wideName = Widen(name);
        entries.erase(std::remove_if(entries.begin(), entries.end(),
                                     [&](const std::wstring& e) { return SameName(e, wideName); }),
                      entries.end());
        entries.push_back(wideName + L"=" + Widen(value));
    }
    std::stable_sort(
        entries.begin(), entries.end(), [](const std::wstring& a, const std::wstring& b) {
            return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_LESS_THAN;
        });
    std::vector<wchar_t> merged;
    for (const std::wstring& e : entries)
        merged.insert(merged.end(), e.c_str(), e.c_str() + e.size() + 1);
    merged.push_back(L'\0');
    return merged;
}

}  // namespace

startup::Found<std::string> UserSessions::JobOwner(const std::string& printer, unsigned long job) {
    std::wstring name = Widen(printer);
    PrinterHandle handle;
    if (!OpenPrinterW(name.data(), handle.Put(), nullptr))
        return Failed<std::string>("OpenPrinterW(" + printer + ")", GetLastError());
    DWORD needed = 0;
    GetJobW(handle.Get(), job, 1, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed ? needed : sizeof(JOB_INFO_1W));
    if (!GetJobW(handle.Get(), job, 1, buffer.data(), static_cast<DWORD>(buffer.size()), &needed))
        return Failed<std::string>("GetJobW(" + std::to_string(job) + ")", GetLastError());
    const auto* info = reinterpret_cast<const JOB_INFO_1W*>(buffer.data());
    return {info->pUserName ? Narrow(info->pUserName) : std::string(), ""};
}

startup::Found<startup::SessionAccount> UserSessions::AccountOf(unsigned long session) {
    wchar_t* text = nullptr;
    DWORD bytes = 0;
    if (!WTSQuerySessionInformationW(WTS_CURRENT_SERVER_HANDLE, session, WTSUserName, &text,
                                     &bytes))
        return Failed<startup::SessionAccount>("WTSQuerySessionInformationW(WTSUserName)",
                                               GetLastError());
    const WtsMemory owner(text);
    return {startup::SessionAccount{Narrow(text), SessionText(session, WTSDomainName)}, ""};
}

startup::Found<std::vector<unsigned long>> UserSessions::ActiveSessions() {
    WTS_SESSION_INFOW* sessions = nullptr;
    DWORD count = 0;
    if (!WTSEnumerateSessionsW(WTS_CURRENT_SERVER_HANDLE, 0, 1, &sessions, &count))
        return Failed<std::vector<unsigned long>>("WTSEnumerateSessionsW", GetLastError());
    const WtsMemory owner(sessions);
    std::vector<unsigned long> active;
    for (DWORD i = 0; i < count; ++i)
        if (sessions[i].State == WTSActive) active.push_back(sessions[i].SessionId);
    return {active, ""};
}

unsigned long UserSessions::ConsoleSession() {
    return WTSGetActiveConsoleSessionId();
}

std::string UserSessions::AllowRead(const std::string& path, const std::string& account) {
    const startup::Found<std::wstring> sid = SidText(account);
    if (!sid.value) return sid.error;
    PSID trustee = nullptr;
    if (!ConvertStringSidToSidW(sid.value->c_str(), &trustee))
        return SystemErrorText("ConvertStringSidToSidW", GetLastError());
    const LocalMemory trusteeOwner(trustee);
    const std::wstring widePath = Widen(path);
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    DWORD error = GetNamedSecurityInfoW(widePath.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                        nullptr, nullptr, &dacl, nullptr, &descriptor);
    if (error != ERROR_SUCCESS) return SystemErrorText("GetNamedSecurityInfoW", error);
    const LocalMemory descriptorOwner(descriptor);
    EXPLICIT_ACCESSW entry{};
    entry.grfAccessPermissions = FILE_GENERIC_READ;
    entry.grfAccessMode = GRANT_ACCESS;
    entry.grfInheritance = NO_INHERITANCE;
    entry.Trustee.TrusteeForm = TRUSTEE_IS_SID;
    entry.Trustee.TrusteeType = TRUSTEE_IS_USER;
    entry.Trustee.ptstrName = static_cast<LPWSTR>(trustee);
    PACL widened = nullptr;
    error = SetEntriesInAclW(1, &entry, dacl, &widened);
    if (error != ERROR_SUCCESS) return SystemErrorText("SetEntriesInAclW", error);
    const LocalMemory widenedOwner(widened);
    error = SetNamedSecurityInfoW(const_cast<wchar_t*>(widePath.c_str()), SE_FILE_OBJECT,
                                  DACL_SECURITY_INFORMATION, nullptr, nullptr, widened, nullptr);
    if (error != ERROR_SUCCESS) return SystemErrorText("SetNamedSecurityInfoW", error);
    return "";
}

std::string UserSessions::PrivateCopy(const std::string& path, const std::string& copy,
                                      const std::string& account) {
    const startup::Found<std::wstring> sid = SidText(account);
    if (!sid.value) return sid.error;
    // Protected: nothing of the folder's list reaches the copy.
    const std::wstring sddl = L"D:P(A;;FR;;;" + *sid.value + L")(A;;FA;;;SY)(A;;FA;;;BA)";
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1,
                                                              &descriptor, nullptr))
        return SystemErrorText("ConvertStringSecurityDescriptorToSecurityDescriptorW",
                               GetLastError());
    const LocalMemory descriptorOwner(descriptor);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    const KernelHandle source(CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                          nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN,
                                          nullptr));
    if (!source) return SystemErrorText("CreateFileW(" + path + ")", GetLastError());
    KernelHandle target(CreateFileW(Widen(copy).c_str(), GENERIC_WRITE, 0, &attributes, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!target) return SystemErrorText("CreateFileW(" + copy + ")", GetLastError());
    std::vector<char> buffer(1 << 20);
    for (;;) {
        DWORD read = 0, written = 0;
        if (!ReadFile(source.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read,
                      nullptr)) {
            const DWORD error = GetLastError();
            target.Reset();
            Remove(copy);
            return SystemErrorText("ReadFile(" + path + ")", error);
        }
        if (read == 0) return "";
        if (!WriteFile(target.Get(), buffer.data(), read, &written, nullptr) || written != read) {
            const DWORD error = GetLastError();
            target.Reset();
            Remove(copy);
            return SystemErrorText("WriteFile(" + copy + ")", error);
        }
    }
}

void UserSessions::Remove(const std::string& path) {
    DeleteFileW(Widen(path).c_str());
}

startup::Found<int> UserSessions::RunInSession(
    unsigned long session, const std::string& program, const std::string& commandLine,
    const std::vector<std::pair<std::string, std::string>>& variables) {
    KernelHandle token;
    if (!WTSQueryUserToken(session, token.Put()))
        return Failed<int>("WTSQueryUserToken(" + std::to_string(session) + ")", GetLastError());
    EnvironmentBlock block;
    if (!CreateEnvironmentBlock(block.Put(), token.Get(), FALSE))
        return Failed<int>("CreateEnvironmentBlock", GetLastError());
    std::vector<wchar_t> environment =
        MergedBlock(static_cast<const wchar_t*>(block.Get()), variables);
    const std::wstring application = Widen(program);
    std::wstring line = Widen(commandLine);
    wchar_t desktop[] = L"winsta0\\default";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.lpDesktop = desktop;
    PROCESS_INFORMATION started{};
    if (!StartProcessRetrying([&] {
            return CreateProcessAsUserW(token.Get(), application.c_str(), line.data(), nullptr,
                                        nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                                        environment.data(), nullptr, &startup, &started);
        }))
        return Failed<int>("CreateProcessAsUserW", GetLastError());
    const KernelHandle process(started.hProcess);
    const KernelHandle thread(started.hThread);
    WaitForSingleObject(process.Get(), INFINITE);
    DWORD exitCode = 0;
    if (!GetExitCodeProcess(process.Get(), &exitCode))
        return Failed<int>("GetExitCodeProcess", GetLastError());
    return {static_cast<int>(exitCode), ""};
}

}  // namespace vellum::win32
