#pragma once

#include <string>

namespace vellum::toolkit {

// What the runtime knows of the running program.
struct AppInfo {
    std::string path;     // directory of the executable, as the platform reports it
    std::string exeName;  // file name without extension
    int major = 0;
    int minor = 0;
    int revision = 0;
};

}  // namespace vellum::toolkit
