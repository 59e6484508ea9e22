#pragma once

// A port's settings as RedMon 1.9 takes them through its monitor's XcvData "SetConfig" (and
// hands them out through "GetConfig"): the one block its own Add Port and Configure Port
// dialogs send. RedMon rejects a block whose size or version differs.

#include <windows.h>

namespace vellum::testbed {

inline constexpr DWORD kRedMonVersion = 190;  // 1.90
inline constexpr int kRedMonTextLength = 512;

// What the port's program does with its output, and how its window is shown.
enum RedMonOutput : DWORD { kOutputProgram = 0, kOutputPrompt = 1 };
enum RedMonShow : DWORD { kShowNormal = 0, kShowMinimized = 1, kShowHidden = 2 };

struct RedMonPortConfig {
    DWORD size = sizeof(RedMonPortConfig);
    DWORD version = kRedMonVersion;
    wchar_t portName[kRedMonTextLength] = {};
    wchar_t description[kRedMonTextLength] = {};
    wchar_t command[kRedMonTextLength] = {};  // RedMon quotes it itself
    wchar_t arguments[kRedMonTextLength] = {};
    wchar_t printer[kRedMonTextLength] = {};  // where output 2-4 go
    DWORD output = kOutputProgram;
    DWORD showWindow = kShowNormal;
    DWORD runUser = 0;  // 1: the program runs in the printing user's session
    DWORD delay = 300;  // seconds EndDocPort waits for the program
    DWORD logFileUse = 0;
    wchar_t logFileName[kRedMonTextLength] = {};
    DWORD logFileDebug = 0;
    DWORD printError = 0;
};
static_assert(sizeof(RedMonPortConfig) == 6180, "RedMon takes a block of its own size only");

}  // namespace vellum::testbed
