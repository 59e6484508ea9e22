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
    ASSERT_EQ(mapi.calls.size(), 1u);
    EXPECT_EQ(mapi.calls[0].uiParam, 0x2Au);
    EXPECT_EQ(mapi.calls[0].delimiter, "|");
    EXPECT_EQ(mapi.calls[0].paths, "C:\\x;y.pdf|");
    EXPECT_EQ(mapi.calls[0].names, "x;y.pdf|");
    EXPECT_EQ(mapi.calls[0].reserved, 0u);
}

TEST(SendDocuments, ShowsOneBoxPerResultCode) {
    struct Row {
        std::uint32_t code;
        const char* title;
        Icon icon;
        const char* text;
    };
    const Row rows[] = {
        {0, "Success!", Icon::Information, "The message was sent successfully."},
        {1, "Error!", Icon::Error, "The user canceled the process. No message was sent."},
        {2, "Error!", Icon::Error,
         "One or more unspecified errors occurred while sending the message. It is not known if "
         "the message was sent."},
        {3, "Error!", Icon::Error,
         "There was no default logon, and the user failed to log on successfully when the logon "
         "dialog box was displayed. No message was sent."},
        {5, "Error!", Icon::Error, "There was insufficient memory to proceed."},
        {12, "Error!", Icon::Error,
         "One or more files selected could not be located. No message was sent."},
        {13, "Error!", Icon::Error,
         "An attachment could not be written to a temporary file. Check directory permissions."},
        // Codes without a row of their own are still reported, never silently dropped.
        {4, "Error!", Icon::Error,
         "The mail program reported error 4. The message may not have been sent."},
        {11, "Error!", Icon::Error,
         "The mail program reported error 11. The message may not have been sent."},
        {26, "Error!", Icon::Error,
         "The mail program reported error 26. The message may not have been sent."},
        {4294967295u, "Error!", Icon::Error,
         "The mail program reported error 4294967295. The message may not have been sent."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.code);
        FakeMapi mapi;
        mapi.result = row.code;
        FakeMsgBox box;
        SendDocuments(mapi, box, 0, ";", "C:\\a.pdf;", "a.pdf;");
        ASSERT_EQ(box.shown.size(), 1u);
        EXPECT_EQ(box.shown[0].title, row.title);
        EXPECT_EQ(box.shown[0].icon, row.icon);
        EXPECT_EQ(box.shown[0].text, row.text);
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
