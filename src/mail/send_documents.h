#pragma once

#include <cstdint>
#include <string>

#include "toolkit/msg_box.h"

namespace vellum::mail {

// Simple MAPI's MAPISendDocuments from MAPI32.DLL. The binding loads the library at the first
// call and throws RuntimeError when it or the entry point is missing.
class MapiLibrary {
public:
    virtual ~MapiLibrary() = default;
    virtual std::uint32_t MAPISendDocuments(std::uintptr_t uiParam, const std::string& delimiter,
                                            const std::string& paths, const std::string& names,
                                            std::uint32_t reserved) = 0;
};

struct MailOutcome {
    std::string title;
    std::string text;
    toolkit::Icon icon;
};

// The message box that reports a MAPISendDocuments result code; every code has one.
MailOutcome OutcomeOf(std::uint32_t resultCode);

// Hands files to the mail program and shows the outcome. No trap of its own: a failure of the
// call itself reaches the caller as a RuntimeError.
void SendDocuments(MapiLibrary& mapi, toolkit::MsgBox& msgBox, std::uintptr_t uiParam,
                   const std::string& delimiter, const std::string& paths,
                   const std::string& names);

}  // namespace vellum::mail
