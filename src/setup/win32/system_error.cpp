#include "setup/win32/system_error.h"

#include <cstdint>

#include "toolkit/runtime_error.h"
#include "toolkit/win32/strings.h"

namespace vellum::setup::win32 {

void ThrowSystemError(const std::string& what, DWORD code) {
    throw toolkit::RuntimeError(static_cast<std::int32_t>(code), toolkit::kVellumSource,
                                what + ": " + vellum::win32::SystemMessage(code));
}

}  // namespace vellum::setup::win32
