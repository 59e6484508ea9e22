#include "config/win32/spooler_win32.h"

#include <windows.h>
#include <winspool.h>

#include "toolkit/win32/strings.h"

namespace vellum::win32 {

static_assert(sizeof(config::PortInfo2) == sizeof(PORT_INFO_2A));
static_assert(offsetof(config::PortInfo2, fPortType) == offsetof(PORT_INFO_2A, fPortType));

bool Win32Spooler::QueryPorts(const std::string& serverName, std::uint32_t level,
                             std::uint8_t* buffer, std::uint32_t size, std::uint32_t& needed,
                             std::uint32_t& returned) {
    const std::string server = ToAnsi(serverName);
    DWORD neededBytes = needed;
    DWORD returnedCount = returned;
    // The empty name is the local machine.
    const BOOL ok = EnumPortsA(server.empty() ? nullptr : const_cast<char*>(server.c_str()),
                               level, buffer, size, &neededBytes, &returnedCount);
    needed = neededBytes;
    returned = ok ? returnedCount : 0;
    return ok != FALSE;
}

std::uint8_t* Win32Spooler::HeapAlloc(std::uint32_t size) {
    return static_cast<std::uint8_t*>(::HeapAlloc(GetProcessHeap(), 0, size));
}

void Win32Spooler::HeapFree(std::uint8_t* block) { ::HeapFree(GetProcessHeap(), 0, block); }

std::string Win32Spooler::FromAnsi(const std::string& ansi) { return win32::FromAnsi(ansi); }

}  // namespace vellum::win32
