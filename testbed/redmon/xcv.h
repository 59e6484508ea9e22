#pragma once

// The monitor's port administration through XcvData, with the requests and data RedMon 1.9
// takes: "AddPort" and "DeletePort" (the port's name), "SetConfig" (its configuration block,
// checked for RedMon's size and version), "PortExists". Changing a port needs
// SERVER_ACCESS_ADMINISTER, as with RedMon.

#include <windows.h>

namespace vellum::testbed {

BOOL WINAPI XcvOpenPort(HANDLE monitor, LPCWSTR object, ACCESS_MASK access, PHANDLE xcv);
DWORD WINAPI XcvDataPort(HANDLE xcv, LPCWSTR request, PBYTE input, DWORD inputSize, PBYTE output,
                         DWORD outputSize, PDWORD outputNeeded);
BOOL WINAPI XcvClosePort(HANDLE xcv);

}  // namespace vellum::testbed
