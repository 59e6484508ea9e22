#include "config/win32/spooler_win32.h"

#include <vector>

namespace vellum::win32 {

namespace {

// The list can grow between the size query and the call that fills the buffer (a port added
// meanwhile); a few rounds cover that without looping forever on a spooler that misreports.
constexpr int kAttempts = 4;

std::string Text(LPCSTR text) {
    return text == nullptr ? std::string() : std::string(text);
}

}  // namespace

std::optional<std::vector<config::PortRecord>> Spooler::ListPorts(const std::string& serverName) {
    const std::string& server = serverName;
    // The empty name is the local machine.
    LPSTR name = server.empty() ? nullptr : const_cast<LPSTR>(server.c_str());

    DWORD needed = 0;
    DWORD count = 0;
    if (enumPorts_(name, 2, nullptr, 0, &needed, &count)) return std::vector<config::PortRecord>{};
    DWORD error = GetLastError();
    // The texts may lie anywhere in the buffer (Windows' monitors write them backwards from its
    // end), so the records are read while this very buffer lives, and never moved.
    std::vector<BYTE> buffer;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (error != ERROR_INSUFFICIENT_BUFFER || needed == 0) return std::nullopt;
        buffer.assign(needed, 0);
        count = 0;
        if (enumPorts_(name, 2, buffer.data(), needed, &needed, &count)) {
            const auto* records = reinterpret_cast<const PORT_INFO_2A*>(buffer.data());
            std::vector<config::PortRecord> ports;
            ports.reserve(count);
            for (DWORD i = 0; i < count; ++i)
                ports.push_back({Text(records[i].pPortName), Text(records[i].pMonitorName),
                                 Text(records[i].pDescription), records[i].fPortType});
            return ports;
        }
        error = GetLastError();
    }
    return std::nullopt;
}

}  // namespace vellum::win32
