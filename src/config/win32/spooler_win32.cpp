#include "config/win32/spooler_win32.h"

#include <windows.h>
#include <winspool.h>

#include <cstring>

#include "toolkit/win32/strings.h"

namespace vellum::win32 {

static_assert(sizeof(config::PortInfo2) == sizeof(PORT_INFO_2A));
static_assert(offsetof(config::PortInfo2, fPortType) == offsetof(PORT_INFO_2A, fPortType));

namespace {

// Room for some three thousand ports; a larger answer costs one more call.
constexpr DWORD kFirstGuess = 256 * 1024;

// Moves the text addresses of a level-2 answer from one buffer to another.
void Rebase(std::uint8_t* to, const std::uint8_t* from, DWORD count) {
    auto* records = reinterpret_cast<PORT_INFO_2A*>(to);
    auto move = [&](LPSTR& text) {
        if (text != nullptr)
            text = reinterpret_cast<LPSTR>(to + (reinterpret_cast<std::uint8_t*>(text) - from));
    };
    for (DWORD i = 0; i < count; ++i) {
        move(records[i].pPortName);
        move(records[i].pMonitorName);
        move(records[i].pDescription);
    }
}

}  // namespace

bool Win32Spooler::QueryPorts(const std::string& serverName, std::uint32_t level,
                              std::uint8_t* buffer, std::uint32_t size, std::uint32_t& needed,
                              std::uint32_t& returned) {
    const std::string server = ToAnsi(serverName);
    // The empty name is the local machine.
    char* name = server.empty() ? nullptr : const_cast<char*>(server.c_str());

    // Every call makes the spooler load and ask each port monitor, so the size query already
    // asks for the whole answer, and the call that follows takes it from here.
    if (buffer == nullptr) {
        cached_.assign(kFirstGuess, 0);
        DWORD neededBytes = 0;
        DWORD count = 0;
        if (EnumPortsA(name, level, cached_.data(), kFirstGuess, &neededBytes, &count)) {
            cached_.resize(neededBytes);
            cachedCount_ = count;
            cachedServer_ = serverName;
            cachedLevel_ = level;
            needed = neededBytes;
            returned = 0;
            return false;  // as a size query without a buffer reports
        }
        cached_.clear();
        needed = neededBytes;
        returned = 0;
        return false;
    }
    if (!cached_.empty() && cachedServer_ == serverName && cachedLevel_ == level &&
        size >= cached_.size()) {
        std::memcpy(buffer, cached_.data(), cached_.size());
        Rebase(buffer, cached_.data(), cachedCount_);
        returned = cachedCount_;
        needed = static_cast<std::uint32_t>(cached_.size());
        cached_.clear();
        return true;
    }
    cached_.clear();
    DWORD neededBytes = needed;
    DWORD count = 0;
    const BOOL ok = EnumPortsA(name, level, buffer, size, &neededBytes, &count);
    needed = neededBytes;
    returned = ok ? count : 0;
    return ok != FALSE;
}

std::uint8_t* Win32Spooler::HeapAlloc(std::uint32_t size) {
    return static_cast<std::uint8_t*>(::HeapAlloc(GetProcessHeap(), 0, size));
}

void Win32Spooler::HeapFree(std::uint8_t* block) {
    ::HeapFree(GetProcessHeap(), 0, block);
}

std::string Win32Spooler::FromAnsi(const std::string& ansi) {
    return win32::FromAnsi(ansi);
}

}  // namespace vellum::win32
