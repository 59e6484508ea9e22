// The recording MAPI32.DLL, loaded the way Vellum loads it (LoadLibrary, GetProcAddress).
// Under Wine this needs WINEDLLOVERRIDES=mapi32=n,b, or the builtin answers and logs nothing.

#include <windows.h>
#include <mapi.h>

#include <gtest/gtest.h>

#include "support.h"
#include "toolkit/win32/handles.h"

namespace vellum::testbed {
namespace {

class MapiStub : public testing::Test {
protected:
    void SetUp() override {
        dll_.Reset(LoadLibraryW((BinFolder() + L"mapi-stub\\mapi32.dll").c_str()));
        ASSERT_TRUE(dll_);
        // Wine's own mapi32 exports the whole API; ours only the one call.
        ASSERT_EQ(GetProcAddress(dll_.Get(), "MAPILogon"), nullptr)
            << "Wine loaded its builtin mapi32: WINEDLLOVERRIDES needs mapi32=n,b";
        send_ = reinterpret_cast<LPMAPISENDDOCUMENTS>(
            reinterpret_cast<void*>(GetProcAddress(dll_.Get(), "MAPISendDocuments")));
        ASSERT_NE(send_, nullptr);
    }

    ScratchFolder scratch_;
    const std::wstring log_ = scratch_.Path() + L"mapi log.txt";
    ScopedEnvironment logVariable_{L"VELLUM_MAPI_LOG", log_.c_str()};
    win32::Module dll_;
    LPMAPISENDDOCUMENTS send_ = nullptr;
};

TEST_F(MapiStub, AppendsARecordPerCallAndReturnsTheConfiguredCode) {
    char delimiter[] = ";";
    // ANSI bytes go to the log as they are: "\xe9" is e-acute in code page 1252.
    char paths[] = "C:\\My PDFs\\a.pdf;C:\\My PDFs\\r\xe9sum\xe9.pdf;";
    char names[] = "a.pdf;r\xe9sum\xe9.pdf;";
    {
        ScopedEnvironment result(L"VELLUM_MAPI_RESULT", L"26");
        EXPECT_EQ(send_(0x1234ABCD, delimiter, paths, names, 0), 26u);
    }
    EXPECT_EQ(send_(0, delimiter, paths, nullptr, 7), SUCCESS_SUCCESS);  // default result
    EXPECT_EQ(FileText(log_),
              "hwnd=305441741\ndelim=;\npaths=C:\\My PDFs\\a.pdf;C:\\My PDFs\\r\xe9sum\xe9.pdf;\n"
              "names=a.pdf;r\xe9sum\xe9.pdf;\nreserved=0\n\n"
              "hwnd=0\ndelim=;\npaths=C:\\My PDFs\\a.pdf;C:\\My PDFs\\r\xe9sum\xe9.pdf;\n"
              "names=(null)\nreserved=7\n\n");
}

TEST_F(MapiStub, ResultThatIsNotANumberIsMapiFailure) {
    ScopedEnvironment result(L"VELLUM_MAPI_RESULT", L"busy");
    char delimiter[] = ";";
    char paths[] = "C:\\a.pdf";
    char names[] = "a.pdf";
    EXPECT_EQ(send_(0, delimiter, paths, names, 0), static_cast<ULONG>(MAPI_E_FAILURE));
}

}  // namespace
}  // namespace vellum::testbed
