#pragma once

#include <windows.h>
#include <winspool.h>

#include "config/ports.h"

namespace vellum::win32 {

// The spooler's port list through EnumPortsA, level 2. The enumerator can be replaced so that
// tests can answer the way different spoolers lay out their buffers.
class Spooler : public config::Spooler {
public:
    using EnumPortsFn = BOOL(WINAPI*)(LPSTR, DWORD, LPBYTE, DWORD, LPDWORD, LPDWORD);

    explicit Spooler(EnumPortsFn enumPorts = ::EnumPortsA) : enumPorts_(enumPorts) {}

    std::optional<std::vector<config::PortRecord>> ListPorts(
        const std::string& serverName) override;

private:
    EnumPortsFn enumPorts_;
};

}  // namespace vellum::win32
