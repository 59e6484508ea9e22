#pragma once

// The record RedMon's XcvData "SetConfig" takes: RedMon 1.9 accepts it only with exactly this
// size and its own version number, and writes every value of the port from it.

#include <windows.h>

#include <cstddef>

namespace vellum::win32 {

inline constexpr DWORD kRedMonVersion = 190;  // RedMon 1.9
inline constexpr size_t kRedMonText = 512;    // characters per text field, terminator included

struct RedMonPortConfig {
    DWORD size;
    DWORD version;
    wchar_t port[kRedMonText];
    wchar_t description[kRedMonText];
    wchar_t command[kRedMonText];
    wchar_t arguments[kRedMonText];
    wchar_t printer[kRedMonText];  // where output goes for the copy-to-printer modes
    DWORD output;
    DWORD showWindow;
    DWORD runUser;
    DWORD delay;
    DWORD logFileUse;
    wchar_t logFileName[kRedMonText];
    DWORD logFileDebug;
    DWORD printError;
};
static_assert(sizeof(RedMonPortConfig) == 6180, "RedMon checks the record's size");
static_assert(offsetof(RedMonPortConfig, output) == 5128);
static_assert(offsetof(RedMonPortConfig, logFileName) == 5148);

}  // namespace vellum::win32
