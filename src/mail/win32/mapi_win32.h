#pragma once

#include <windows.h>

#include "mail/send_documents.h"
#include "toolkit/win32/optional_entry.h"

namespace vellum::win32 {

// MAPISendDocuments of MAPI32.DLL (or of `dll`), bound at the first call. A missing library
// (48) or entry point (453) is a RuntimeError that tells the user what to do.
class Mapi : public mail::MapiLibrary {
public:
    explicit Mapi(const char* dll = "MAPI32.DLL") : entry_(dll, "MAPISendDocuments") {}
    std::uint32_t MAPISendDocuments(std::uintptr_t uiParam, const std::string& delimiter,
                                    const std::string& paths, const std::string& names,
                                    std::uint32_t reserved) override;

private:
    using SendDocumentsFn = ULONG(WINAPI*)(ULONG_PTR, LPSTR, LPSTR, LPSTR, ULONG);
    OptionalEntry<SendDocumentsFn> entry_;
};

}  // namespace vellum::win32
