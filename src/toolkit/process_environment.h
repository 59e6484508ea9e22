#pragma once

#include <optional>
#include <string>

namespace vellum::toolkit {

// This process's environment variables, as the program that started it set them.
class ProcessEnvironment {
public:
    virtual ~ProcessEnvironment() = default;
    // The value of `name`; nothing when it is not set. Never throws.
    virtual std::optional<std::string> Variable(const std::string& name) = 0;
};

}  // namespace vellum::toolkit
