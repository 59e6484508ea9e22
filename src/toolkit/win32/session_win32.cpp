#include "toolkit/win32/session_win32.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "toolkit/win32/handles.h"
#include "toolkit/win32/strings.h"
#include "toolkit/win32/system_error.h"

namespace vellum::win32 {

bool Session::CanShowWindows() {
    USEROBJECTFLAGS flags{};
    DWORD needed = 0;
    const HWINSTA station = GetProcessWindowStation();
    if (station == nullptr ||
        !GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof flags, &needed))
        return true;
    return (flags.dwFlags & WSF_VISIBLE) != 0;
}

std::string Session::UserName() {
    wchar_t name[257];  // UNLEN + 1
    DWORD length = ARRAYSIZE(name);
    if (!GetUserNameW(name, &length)) return "";
    return Narrow(name);
}

toolkit::LocalTime Session::Now() {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

double Session::Seconds() {
    return static_cast<double>(GetTickCount64()) / 1000.0;
}

bool Elevation::IsElevated() {
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return false;
    const KernelHandle token(raw);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof elevation, &size) &&
           elevation.TokenIsElevated != 0;
}

toolkit::ElevatedRun Elevation::RunElevated(const std::string& parameters) {
    std::vector<wchar_t> own(32768);
    const DWORD length = GetModuleFileNameW(nullptr, own.data(), static_cast<DWORD>(own.size()));
    if (length == 0 || length >= own.size())
        return {toolkit::ElevatedRun::State::Failed, 0,
                SystemErrorText("Cannot find this program's file", GetLastError())};
    const std::wstring wideParameters = Widen(parameters);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.hwnd = GetActiveWindow();  // the prompt belongs to the window that asked
    info.lpVerb = L"runas";
    info.lpFile = own.data();
    info.lpParameters = wideParameters.c_str();
    info.nShow = SW_HIDE;
    if (!ShellExecuteExW(&info)) {
        const DWORD error = GetLastError();
        if (error == ERROR_CANCELLED) return {toolkit::ElevatedRun::State::Declined, 0, ""};
        return {toolkit::ElevatedRun::State::Failed, 0,
                SystemErrorText("Cannot start Vellum as an administrator", error)};
    }
    if (info.hProcess == nullptr)
        return {toolkit::ElevatedRun::State::Failed, 0,
                "Vellum as an administrator gave no process."};
    const KernelHandle process(info.hProcess);
    WaitForSingleObject(process.Get(), INFINITE);
    DWORD exitCode = 0;
    if (!GetExitCodeProcess(process.Get(), &exitCode))
        return {
            toolkit::ElevatedRun::State::Failed, 0,
            SystemErrorText("Cannot read how Vellum as an administrator ended", GetLastError())};
    return {toolkit::ElevatedRun::State::Finished, static_cast<int>(exitCode), ""};
}

}  // namespace vellum::win32
