#include "mail/send_documents.h"

#include <utility>

namespace vellum::mail {

MailOutcome OutcomeOf(std::uint32_t code) {
    using toolkit::Icon;
    auto error = [](std::string text) {
        return MailOutcome{"Error!", std::move(text), Icon::Error};
    };
    switch (code) {
        case 0:
            return {"Success!", "The message was sent successfully.", Icon::Information};
        case 1:
            return error("The user canceled the process. No message was sent.");
        case 2:
            return error(
                "One or more unspecified errors occurred while sending the message. It is not "
                "known if the message was sent.");
        case 3:
            return error(
                "There was no default logon, and the user failed to log on successfully when "
                "the logon dialog box was displayed. No message was sent.");
        case 5:
            return error("There was insufficient memory to proceed.");
        case 12:
            return error("One or more files selected could not be located. No message was sent.");
        case 13:
            return error(
                "An attachment could not be written to a temporary file. Check directory "
                "permissions.");
        default:
            // Codes without a message of their own must not look like nothing happened.
            return error("The mail program reported error " + std::to_string(code) +
                         ". The message may not have been sent.");
    }
}

void SendDocuments(MapiLibrary& mapi, toolkit::MsgBox& msgBox, std::uintptr_t uiParam,
                   const std::string& delimiter, const std::string& paths,
                   const std::string& names) {
    const std::uint32_t code = mapi.MAPISendDocuments(uiParam, delimiter, paths, names, 0);
    const MailOutcome outcome = OutcomeOf(code);
    msgBox.Show(outcome.text, outcome.title, outcome.icon);
}

}  // namespace vellum::mail
