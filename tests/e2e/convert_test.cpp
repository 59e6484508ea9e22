// A print job converted by the real vellum.exe and the machine's Ghostscript.

#include <gtest/gtest.h>

#include "e2e_support.h"

namespace vellum::e2e {

namespace {

class ConvertTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteCompleteSettings(pdfs.Path());
        CopyFileTo(SiblingPath("jobs\\sample.ps"), jobs.File("job 12.ps"));
    }
    void TearDown() override { VellumRegistry::Reset(); }

    std::string JobArgument() const { return "\"" + jobs.File("job 12.ps") + "\""; }

    TempFolder pdfs{"pdf folder with spaces"};
    TempFolder jobs{"spool dir"};
};

}  // namespace

TEST_F(ConvertTest, JobBecomesAPdfInTheDefaultFolderNamedAsTyped) {
    Process vellum = StartVellum(JobArgument());
    const HWND dialog = WaitForFileDialog(vellum);
    EXPECT_EQ(DialogFileTypes(dialog),
              (std::vector<std::string>{"Adobe PDF Files (*.pdf)", "All Files (*.*)"}));
    EXPECT_EQ(_stricmp(DialogFolder(dialog).c_str(), pdfs.Path().c_str()), 0)
        << DialogFolder(dialog);
    SubmitFileDialog(dialog, "report");  // no extension typed: .pdf is added

    EXPECT_EQ(vellum.WaitExitCode(kConvertTimeout), 0u);
    ASSERT_TRUE(FileExists(pdfs.File("report.pdf")));
    const std::string text = PdfText(pdfs.File("report.pdf"));
    for (const char* word : {"Vellum sample page 1 of 3", "Quillwort", "Marram", "Samphire"})
        EXPECT_NE(text.find(word), std::string::npos) << word << " in:\n" << text;
}

TEST_F(ConvertTest, NameTypedWithAnExtensionIsKeptAsTyped) {
    Process vellum = StartVellum(JobArgument());
    AnswerSaveAs(vellum, "report.ps2pdf");
    EXPECT_EQ(vellum.WaitExitCode(kConvertTimeout), 0u);
    EXPECT_TRUE(FileExists(pdfs.File("report.ps2pdf")));
    EXPECT_FALSE(FileExists(pdfs.File("report.ps2pdf.pdf")));
}

TEST_F(ConvertTest, CancelConvertsNothingAndEndsSilently) {
    Process vellum = StartVellum(JobArgument());
    CancelDialog(WaitForFileDialog(vellum));
    EXPECT_TRUE(vellum.WaitExit(10s)) << DescribeWindows(vellum);
    EXPECT_TRUE(TopWindows(vellum).empty());
    EXPECT_FALSE(FileExists(pdfs.File("report.pdf")));
}

TEST_F(ConvertTest, BrokenJobReportsGhostscriptsErrorAndEnds) {
    CopyFileTo(SiblingPath("jobs\\broken.ps"), jobs.File("broken job.ps"));
    Process vellum = StartVellum("\"" + jobs.File("broken job.ps") + "\"");
    AnswerSaveAs(vellum, pdfs.File("broken.pdf"));
    const MessageBoxInfo box = WaitForMessageBox(vellum, kConvertTimeout);
    EXPECT_EQ(box.title, "Error!");
    EXPECT_EQ(box.icon, Icon::Error);
    EXPECT_EQ(box.text.rfind("Ghostscript could not convert the print job (exit code 1).", 0), 0u)
        << box.text;
    EXPECT_NE(box.text.find("undefined"), std::string::npos) << box.text;
    CloseMessageBox(box.hwnd);
    EXPECT_TRUE(vellum.WaitExit(10s));
}

TEST_F(ConvertTest, GhostscriptThatIsNoProgramIsReportedAsNotStarted) {
    const std::string fake = jobs.File("gswin64c.exe");
    WriteTextFile(fake, "this is not a program");
    VellumRegistry::Set("gsExe", fake);
    Process vellum = StartVellum(JobArgument());
    AnswerSaveAs(vellum, pdfs.File("never.pdf"));
    const MessageBoxInfo box = WaitForMessageBox(vellum, kConvertTimeout);
    EXPECT_EQ(box.title, "Error!");
    EXPECT_EQ(box.icon, Icon::Error);
    EXPECT_EQ(box.text.rfind("Ghostscript could not be started.\r\n" + fake + "\r\n", 0), 0u)
        << box.text;
    CloseMessageBox(box.hwnd);
    EXPECT_TRUE(vellum.WaitExit(10s));
    EXPECT_FALSE(FileExists(pdfs.File("never.pdf")));
}

}  // namespace vellum::e2e
