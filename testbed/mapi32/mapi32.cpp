// A recording MAPI32.DLL for the test rig: MAPISendDocuments writes down how it was called and
// returns the result the test asks for, so that the mail hand-off can be checked without a mail
// program.
//
// VELLUM_MAPI_LOG     file that each call appends one record to (no record when unset);
// VELLUM_MAPI_RESULT  the code to return, in decimal (0 when unset; 2, MAPI_E_FAILURE, when it is
//                     not a number).
//
// A record is five lines and a blank line, each line ending in LF:
//   hwnd=<ulUIParam in decimal>
//   delim=<lpszDelimChar>
//   paths=<lpszFilePaths>
//   names=<lpszFileNames>
//   reserved=<ulReserved in decimal>
// Strings are the caller's ANSI bytes as they are; a null pointer is written as "(null)".
//
// Under Wine the builtin mapi32 wins unless WINEDLLOVERRIDES has "mapi32=n,b".

#include <windows.h>
#include <mapi.h>

#include <string>

namespace {

std::wstring Environment(const wchar_t* name) {
    const DWORD needed = GetEnvironmentVariableW(name, nullptr, 0);
    if (needed == 0) return {};
    std::wstring value(needed, L'\0');
    const DWORD length = GetEnvironmentVariableW(name, value.data(), needed);
    value.resize(length < needed ? length : 0);
    return value;
}

ULONG ConfiguredResult() {
    const std::wstring text = Environment(L"VELLUM_MAPI_RESULT");
    if (text.empty()) return SUCCESS_SUCCESS;
    ULONG result = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return MAPI_E_FAILURE;
        result = result * 10 + static_cast<ULONG>(c - L'0');
    }
    return result;
}

std::string Text(const char* s) {
    return s ? s : "(null)";
}

void Record(const std::string& record) {
    const std::wstring path = Environment(L"VELLUM_MAPI_LOG");
    if (path.empty()) return;
    // FILE_APPEND_DATA alone makes every write land at the end of the file.
    const HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
    CloseHandle(file);
}

}  // namespace

extern "C" ULONG WINAPI MAPISendDocuments(ULONG_PTR ulUIParam, LPSTR lpszDelimChar,
                                          LPSTR lpszFilePaths, LPSTR lpszFileNames,
                                          ULONG ulReserved) {
    Record("hwnd=" + std::to_string(ulUIParam) + "\ndelim=" + Text(lpszDelimChar) +
           "\npaths=" + Text(lpszFilePaths) + "\nnames=" + Text(lpszFileNames) +
           "\nreserved=" + std::to_string(ulReserved) + "\n\n");
    return ConfiguredResult();
}
