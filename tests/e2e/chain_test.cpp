// The whole chain as a user meets it: bind the port in the configuration window, print from a
// Windows program to "Vellum PDF", and the monitor, RedRun and Vellum turn the job into a PDF
// that holds the document's text.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "config/config_ids.h"
#include "e2e_support.h"

namespace vellum::e2e {

namespace ids = config::ids;

namespace {

constexpr const char* kPrinter = "Vellum PDF";
constexpr const char* kPort = "RPT1:";  // the port setup-printer puts the printer on

class ChainTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteCompleteSettings(pdfs.Path());
        SetupPrinter("");
    }
    void TearDown() override {
        // Back to the unbound port that setup-printer makes, as the other printing tests expect.
        SetupPrinter("--command \"\" --arguments \"\"");
        VellumRegistry::Reset();
    }

    TempFolder work{"vellum chain work"};
    TempFolder pdfs{"vellum chain pdfs"};
};

// Prints a document of several pages to "Vellum PDF", answers the Save As of the vellum.exe
// that RedRun starts, and checks that the PDF holds every word.
void PrintAndCheckPdf(const TempFolder& work, const TempFolder& pdfs) {
    constexpr int kLines = 150;  // several pages
    const std::string text = work.File("document.txt");
    WriteNumberedDocument(text, kLines);

    const std::vector<DWORD> running = ProcessesNamed("vellum.exe");
    Process printer = Process::Start(SiblingPath("printtext.exe"),
                                     "\"" + std::string(kPrinter) + "\" \"" + text + "\"",
                                     {{"VELLUM_REDMON_LOG", work.File("redmon.log")}});
    Process vellum = WaitForNewProcess(printer, "vellum.exe", running, kConvertTimeout);
    const std::string pdf = pdfs.File("printed document.pdf");
    AnswerSaveAs(vellum, pdf, kConvertTimeout);
    EXPECT_EQ(WaitForSilentExit(vellum, kConvertTimeout), 0u);
    EXPECT_EQ(printer.WaitExitCode(30s), 0u) << ReadTextFile(work.File("redmon.log"));

    ASSERT_TRUE(FileExists(pdf)) << ReadTextFile(work.File("redmon.log"));
    const std::string pdfText = PdfText(pdf);
    EXPECT_EQ(MissingFromNumberedDocument(pdfText, kLines, 2), "") << pdfText;
}

}  // namespace

TEST_F(ChainTest, PrintedDocumentBecomesThePdfTheUserNames) {
    {
        Process vellum = StartVellum("-config");
        const HWND window = WaitForWindow(vellum, "Configure Vellum");
        SetText(Control(window, ids::kRrExe), SiblingPath("redrun.exe"));
        SelectComboItem(Control(window, ids::kPorts), kPort);
        Click(Control(window, ids::kSave));
        ASSERT_TRUE(vellum.WaitExit(10s)) << DescribeWindows(vellum);
    }
    PrintAndCheckPdf(work, pdfs);
}

// A port an earlier version bound names Vellum unquoted under Program Files, with "%1" that
// RedMon empties: RedRun starts `C:\Program Files\Vellum\vellum.exe "" "<job>"` as written,
// and Vellum still finds its own name and the job.
TEST_F(ChainTest, PortBoundByAnEarlierVersionStillConverts) {
    InstalledVellum installed;
    SetupPrinter("--command \"" + SiblingPath("redrun.exe") + "\" --arguments \"" +
                 installed.Exe() + " \\\"%1\\\"\"");
    PrintAndCheckPdf(work, pdfs);
}

}  // namespace vellum::e2e
