#pragma once

// Wine's own entry points that reach the Unix side of the machine. They exist only under Wine
// (they are Wine-internal exports of ntdll.dll and kernel32.dll), so they are looked up at run
// time and their absence is a clear failure rather than a load error.

#include <optional>
#include <string>
#include <vector>

#include "arguments.h"

namespace vellum::testbed {

class WineUnix {
public:
    // Throws std::runtime_error when not running under Wine.
    WineUnix();

    // Runs a Unix program (argv[0] searched on PATH), waits for it, and returns its exit code.
    // Throws std::runtime_error when it could not be started.
    int Spawn(const std::vector<std::string>& argv) const;

    // The Unix path of a Windows path whose folder exists; nothing when Wine cannot map it.
    std::optional<std::string> UnixFileName(const std::wstring& path) const;

private:
    using SpawnFn = long (*)(char* const argv[], int wait);
    using UnixFileNameFn = char* (*)(const wchar_t* dosPath);
    SpawnFn spawn_ = nullptr;
    UnixFileNameFn unixFileName_ = nullptr;
};

// Maps through Wine. A path whose middle folders do not exist yet (an output PDF's new folder)
// maps its deepest existing folder and appends the rest as written.
class WinePathMapper : public PathMapper {
public:
    explicit WinePathMapper(const WineUnix& wine) : wine_(wine) {}
    bool Exists(const std::wstring& path) const override;
    std::string ToUnix(const std::wstring& path) const override;

private:
    const WineUnix& wine_;
};

}  // namespace vellum::testbed
