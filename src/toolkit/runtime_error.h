#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace vellum::toolkit {

// The source of every failure raised inside the program itself.
inline constexpr const char* kVellumSource = "Vellum";

// Numbers the handlers recognise; the rest are whatever the failing component reports.
inline constexpr std::int32_t kErrCommonDialogCancel = 32755;

// A run-time error: what a trap catches and an ErrorReport shows. Thrown by value.
class RuntimeError : public std::runtime_error {
public:
    RuntimeError(std::int32_t number, std::string source, std::string description)
        : std::runtime_error(description),
          number_(number),
          source_(std::move(source)),
          description_(std::move(description)) {}

    std::int32_t Number() const { return number_; }
    const std::string& Source() const { return source_; }
    const std::string& Description() const { return description_; }

private:
    std::int32_t number_;
    std::string source_;
    std::string description_;
};

// A failure raised by Vellum's own code.
inline RuntimeError VellumError(std::int32_t number, std::string description) {
    return RuntimeError(number, kVellumSource, std::move(description));
}

}  // namespace vellum::toolkit
