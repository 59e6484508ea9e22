#pragma once

#include "startup/file_system.h"

namespace vellum::win32 {

class Win32FileSystem : public startup::FileSystem {
public:
    bool FileExists(const std::string& path) override;
};

}  // namespace vellum::win32
