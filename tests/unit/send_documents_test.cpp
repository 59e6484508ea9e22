#include "mail/send_documents.h"

#include <gtest/gtest.h>

#include "fakes/fake_msg_box.h"
#include "fakes/fake_startup.h"

namespace vellum::mail {
namespace {

using toolkit::Icon;

TEST(SendDocuments, PassesTheArgumentsInTheirOrderWithReservedZero) {
    FakeMapi mapi;
    FakeMsgBox box;
    // A name with ";" goes through as it is: the delimiter is the caller's business.
    SendDocuments(mapi, box, 0x2A, "|", "C:\\x;y.pdf|", "x;y.pdf|");
    EXPECT_EQ(mapi.calls,
              (std::vector<FakeMapi::Call>{{0x2A, "|", "C:\\x;y.pdf|", "x;y.pdf|", 0}}));
}

TEST(SendDocuments, ShowsOneBoxPerResultCode) {
    const struct {
        std::uint32_t code;
        const char* text;  // an error's under "Error!" with its icon
    } rows[] = {
        {1, "The user canceled the process. No message was sent."},
        {2,
         "One or more unspecified errors occurred while sending the message. It is not known if "
         "the message was sent."},
        {3,
         "There was no default logon, and the user failed to log on successfully when the logon "
         "dialog box was displayed. No message was sent."},
        {5, "There was insufficient memory to proceed."},
        {12, "One or more files selected could not be located. No message was sent."},
        {13,
         "An attachment could not be written to a temporary file. Check directory permissions."},
        // Codes without a row of their own are still reported, never silently dropped.
        {4, "The mail program reported error 4. The message may not have been sent."},
        {11, "The mail program reported error 11. The message may not have been sent."},
        {26, "The mail program reported error 26. The message may not have been sent."},
        {4294967295u,
         "The mail program reported error 4294967295. The message may not have been sent."},
        {0, "The message was sent successfully."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.code);
        FakeMapi mapi;
        mapi.result = row.code;
        FakeMsgBox box;
        SendDocuments(mapi, box, 0, ";", "C:\\a.pdf;", "a.pdf;");
        EXPECT_EQ(box.Texts(), std::vector<std::string>{row.text});
        EXPECT_EQ(box.shown[0].title, row.code == 0 ? "Success!" : "Error!");
        EXPECT_EQ(box.shown[0].icon, row.code == 0 ? Icon::Information : Icon::Error);
    }
}

TEST(SendDocuments, AFailingLibraryReachesTheCallerWithoutAMessage) {
    FakeMapi mapi;
    mapi.failure = toolkit::RuntimeError(48, "Vellum", "File not found: MAPI32.DLL");
    FakeMsgBox box;
    EXPECT_THROW(SendDocuments(mapi, box, 0, ";", "C:\\a.pdf", "a.pdf"), toolkit::RuntimeError);
    EXPECT_TRUE(box.shown.empty());
}

}  // namespace
}  // namespace vellum::mail
