#include "config/win32/spooler_win32.h"

#include <vector>

namespace vellum::win32 {

namespace {

// Every call makes the spooler load and ask each port monitor, so the first call already offers
// room for some three thousand ports instead of asking for the size alone; a larger answer
// costs one more call.
constexpr DWORD kFirstGuess = 256 * 1024;
// The list can grow between two calls (a port added meanwhile); a few rounds cover that without
// looping forever on a spooler that misreports.
constexpr int kAttempts = 4;

std::string Text(LPCSTR text) {
    return text == nullptr ? std::string() : std::string(text);
}

}  // namespace

std::optional<std::vector<config::PortRecord>> Spooler::ListPorts(const std::string& serverName) {
    // The empty name is the local machine.
    LPSTR name = serverName.empty() ? nullptr : const_cast<LPSTR>(serverName.c_str());

    // The texts may lie anywhere in the buffer (Windows' monitors write them backwards from its
    // end), so the records are read while this very buffer lives, and never moved.
    std::vector<BYTE> buffer(kFirstGuess);
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        DWORD needed = 0;
        DWORD count = 0;
        if (enumPorts_(name, 2, buffer.data(), static_cast<DWORD>(buffer.size()), &needed,
                       &count)) {
            const auto* records = reinterpret_cast<const PORT_INFO_2A*>(buffer.data());
            std::vector<config::PortRecord> ports;
            ports.reserve(count);
            for (DWORD i = 0; i < count; ++i)
                ports.push_back({Text(records[i].pPortName), Text(records[i].pMonitorName),
                                 Text(records[i].pDescription), records[i].fPortType});
            return ports;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_INSUFFICIENT_BUFFER || needed <= buffer.size()) return std::nullopt;
        buffer.assign(needed, 0);
    }
    return std::nullopt;
}

}  // namespace vellum::win32
