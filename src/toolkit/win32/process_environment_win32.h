#pragma once

#include "toolkit/process_environment.h"

namespace vellum::win32 {

// Reads through the wide API: a value in characters outside the code page arrives whole.
class ProcessEnvironment : public toolkit::ProcessEnvironment {
public:
    std::optional<std::string> Variable(const std::string& name) override;
};

}  // namespace vellum::win32
