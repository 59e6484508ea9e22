#pragma once

#include "mail/send_documents.h"

namespace vellum::win32 {

// MAPISendDocuments of MAPI32.DLL, bound at the first call.
class Win32Mapi : public mail::MapiLibrary {
public:
    std::uint32_t MAPISendDocuments(std::uintptr_t uiParam, const std::string& delimiter,
                                    const std::string& paths, const std::string& names,
                                    std::uint32_t reserved) override;
};

}  // namespace vellum::win32
