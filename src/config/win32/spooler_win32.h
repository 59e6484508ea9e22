#pragma once

#include <vector>

#include "config/ports.h"

namespace vellum::win32 {

// EnumPortsA and the process heap.
class Win32Spooler : public config::Spooler {
public:
    bool QueryPorts(const std::string& serverName, std::uint32_t level, std::uint8_t* buffer,
                    std::uint32_t size, std::uint32_t& needed, std::uint32_t& returned) override;
    std::uint8_t* HeapAlloc(std::uint32_t size) override;
    void HeapFree(std::uint8_t* block) override;
    std::string FromAnsi(const std::string& ansi) override;

private:
    // The answer fetched by the last size query, for the call with the buffer that follows.
    std::vector<std::uint8_t> cached_;
    std::uint32_t cachedCount_ = 0;
    std::string cachedServer_;
    std::uint32_t cachedLevel_ = 0;
};

}  // namespace vellum::win32
