#include "mail/win32/mapi_win32.h"

#include <windows.h>

#include "toolkit/runtime_error.h"
#include "toolkit/win32/optional_entry.h"

namespace vellum::win32 {

std::uint32_t Mapi::MAPISendDocuments(std::uintptr_t uiParam, const std::string& delimiter,
                                      const std::string& paths, const std::string& names,
                                      std::uint32_t reserved) {
    SendDocumentsFn send = nullptr;
    try {
        send = entry_.Get();
    } catch (const toolkit::RuntimeError& e) {
        throw toolkit::VellumError(
            e.Number(),
            "No mail program that supports Simple MAPI is installed: " + e.Description() +
                ". Install or configure a mail program, or switch off mailing in the "
                "configuration.");
    }
    // Simple MAPI takes its strings as mutable ANSI texts: copies in the process's code page.
    std::string ansiDelimiter = delimiter;
    std::string ansiPaths = paths;
    std::string ansiNames = names;
    return send(static_cast<ULONG_PTR>(uiParam), ansiDelimiter.data(), ansiPaths.data(),
                ansiNames.data(), reserved);
}

}  // namespace vellum::win32
