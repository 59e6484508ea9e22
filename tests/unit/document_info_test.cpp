#include "convert/document_info.h"

#include <gtest/gtest.h>

#include "convert/existing_pdf.h"
#include "convert/ghostscript_command.h"

namespace vellum::convert {

TEST(DocumentInfo, ReachesGhostscriptOnlyAsUtf16HexStrings) {
    const struct {
        DocumentInfo info;
        std::string pdfmark;
    } rows[] = {
        {{") /Author (x", "", ""},
         "[ /Title <FEFF00290020002F0041007500740068006F0072002000280078> "
         "/DOCINFO pdfmark"},
        {{"Отчёт", "bob", ""},
         "[ /Title <FEFF041E0442044704510442> /Author <FEFF0062006F0062> "
         "/DOCINFO pdfmark"},
        {{"a\\b\tc\x7f", "", "Writer"},
         "[ /Title <FEFF0061005C00620063> /Creator "
         "<FEFF005700720069007400650072> /DOCINFO pdfmark"},
        {{"\xF0\x9F\x8E\x89\xFF", "", ""}, "[ /Title <FEFFD83CDF89FFFD> /DOCINFO pdfmark"},
        {{"", "", ""}, ""},
    };
    for (const auto& row : rows) EXPECT_EQ(DocInfoPdfmark(row.info), row.pdfmark);
}

TEST(DocumentInfo, PagesAreAddedBeforeTheJobAndThePropertiesAfterIt) {
    settings::SettingsRecord record;
    record.gsExe = "gs.exe";
    const std::string line =
        GhostscriptCommandLine(record, "out.tmp", "job.ps", "", "C:\\PDF\\old.pdf", {"T", "", ""});
    EXPECT_NE(line.find(" --permit-file-read=\"C:\\PDF\\old.pdf\""), std::string::npos) << line;
    EXPECT_NE(line.find(" -f \"C:\\PDF\\old.pdf\" \"job.ps\" -c \"[ /Title <FEFF0054> /DOCINFO "
                        "pdfmark\""),
              std::string::npos)
        << line;
}

TEST(DocumentInfo, OnlyAWholeUnencryptedPdfTakesPages) {
    const std::string end = "trailer\n<</Size 9>>\nstartxref\n123\n%%EOF\n";
    const struct {
        std::string head, tail, problem;
    } rows[] = {
        {"%PDF-1.7\n", end, ""},
        {"junk%PDF-1.4", end, ""},
        {"%!PS-Adobe", end, "it is not a PDF"},
        {"%PDF-1.7\n", "1 0 obj", "it is damaged (it ends before a PDF's end)"},
        {"%PDF-1.7\n", "<</Encrypt 5 0 R>>\nstartxref\n1\n%%EOF", "it is encrypted"},
    };
    for (const auto& row : rows) EXPECT_EQ(AddPagesProblem(row.head, row.tail), row.problem);
}

}  // namespace vellum::convert
