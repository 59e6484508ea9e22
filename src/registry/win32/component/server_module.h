#pragma once

// What the whole DLL shares: its own module handle and the count that DllCanUnloadNow reads.

#include <windows.h>

#include <string>

namespace vellum::registry::component {

inline constexpr const wchar_t* kProgId = L"Vellum.RegistryAccess";

HMODULE ServerModule();
// The DLL's full path; empty when it cannot be had.
std::wstring ServerPath();

// Live objects and LockServer calls each hold the DLL in memory.
void AddServerLock();
void ReleaseServerLock();

}  // namespace vellum::registry::component
