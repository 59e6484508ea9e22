#include "startup/document_name.h"

#include <gtest/gtest.h>

#include "fakes/fake_file_system.h"
#include "convert/unique_name.h"
#include "toolkit/text.h"

namespace vellum::startup {

using convert::NumberedPdfPath;
using convert::ReserveUniquePdfPath;

TEST(PdfNameFor, FollowsTheNameRules) {
    const struct {
        const char* title;
        const char* name;
    } cases[] = {
        {"Microsoft Word - Quarterly report.docx", "Quarterly report"},
        {"Microsoft Excel - budget.XLSX", "budget"},
        {"Microsoft PowerPoint - Deck", "Deck"},
        {"Q3 report v1.2", "Q3 report v1.2"},
        {"Q3 report v1.2.pdf", "Q3 report v1.2"},
        {"archive.tar.gz", "archive.tar.gz"},
        {"Re: minutes", "Re - minutes"},
        {"12:30 a\\b/c|d*e", "12-30 a-b-c-d-e"},
        {"What now? \"Plan\" <draft>", "What now 'Plan' (draft)"},
        {"tab\there\r\nnew\x7Fline", "tab here new line"},
        {"  ..spaced    out..  ", "spaced out"},
        {"CON", "CON_"},
        {"con.txt", "con_"},
        {"Lpt9.backup.txt", "Lpt9_.backup"},
        {"COM10", "COM10"},
        {"Console", "Console"},
        {"", ""},
        {"???", ""},
        {" . .txt", ""},
        {"Microsoft Word - ", "Microsoft Word -"},
        {"MICROSOFT EXCEL - Budget", "Budget"},
        {".docx", "docx"},
        {"nul.tar.gz", "nul_.tar.gz"},
    };
    for (const auto& c : cases) EXPECT_EQ(PdfNameFor(c.title, ""), c.name) << c.title;
}

TEST(PdfNameFor, FitsTheFolderAndNeverCutsACharacter) {
    // 2-, 3- and 4-byte characters (the last two UTF-16 units) across the cut.
    for (const std::string letter : {"é", "語", "🎉"}) {
        const std::string folder = "C:\\" + std::string(240, 'f');
        std::string title;
        for (int i = 0; i < 20; ++i) title += letter;
        const std::string name = PdfNameFor(title, folder);
        EXPECT_LE(toolkit::Utf16Length(folder + "\\" + name + ".pdf"), 259) << letter;
        EXPECT_GE(toolkit::Utf16Length(folder + "\\" + name + ".pdf"), 257) << letter;
        EXPECT_EQ(name.size() % letter.size(), 0u) << letter;
    }
    EXPECT_EQ(PdfNameFor(std::string(400, 'a'), "").size(), 250u) << "one name: 255 at most";
    EXPECT_EQ(PdfNameFor("report", "C:\\" + std::string(260, 'f')), "");
}

TEST(DscTitle, ReadsTheTitleCommentInEitherForm) {
    const struct {
        const char* job;
        const char* title;
    } cases[] = {
        {"%!PS-Adobe-3.0\n%%Title: (letter.txt)\n%%EndComments\n", "letter.txt"},
        {"%!PS\r%%Title: (a \\(b\\) c\\\\d)\r", "a (b) c\\d"},
        {"%!PS\n%%Title: (caf\\351 \\(1\\))\n", "café (1)"},
        {"%!PS\n%%Title: (\\376\\377\\004\\036\\0040)\n", "Оа"},
        {"%!PS\n%%Title: (nested (parens) ok) extra\n", "nested (parens) ok"},
        {"%!PS\n%%Title:   Plain text title  \r\n", "Plain text title"},
        {"%!PS\n%%Creator: x\n", ""},
        {"%!PS\n%%TitleX: no\n", ""},
        {"%!PS\n%%Title:\t(tabbed)\n", "tabbed"},
        {"%!PS\n%%Title: (\237ber)\n", "Ÿber"},
    };
    for (const auto& c : cases) EXPECT_EQ(DscTitle(c.job), c.title) << c.job;
    EXPECT_EQ(DscTitle(std::string(kTitleSearchBytes, ' ') + "\n%%Title: (late)\n"), "")
        << "only the first 64 KB are read";
    EXPECT_EQ(DocumentTitle("RedMon", "%%Title: (t)"), "t");
    EXPECT_EQ(DocumentTitle("Доклад", "%%Title: (t)"), "Доклад");
}

TEST(ReserveUniquePdfPath, MovesTheFileToTheFirstFreeNumberNeverReplacingAnything) {
    FakeFileSystem files;
    files.Write("C:\\PDF\\Offer.pdf", "%PDF old");
    files.Write("C:\\PDF\\Offer (2).pdf", "%PDF old");
    files.folders.insert("C:\\PDF\\Offer (3).pdf");
    const std::string scratch = "C:\\PDF\\Offer.pdf.1.vellum-tmp";
    files.Write(scratch, "new");
    EXPECT_EQ(ReserveUniquePdfPath(files, scratch, "C:\\PDF\\Offer.pdf"), "C:\\PDF\\Offer (4).pdf");
    EXPECT_EQ(files.data["C:\\PDF\\Offer (4).pdf"], "new");
    EXPECT_EQ(files.data["C:\\PDF\\Offer.pdf"], "%PDF old");
    files.Write(scratch, "newer");
    files.takenNames = 1;  // another job's PDF lands on "Offer (5).pdf" as this one moves
    EXPECT_EQ(ReserveUniquePdfPath(files, scratch, "C:\\PDF\\Offer.pdf"), "C:\\PDF\\Offer (6).pdf");
    EXPECT_FALSE(files.FileExists(scratch));
}

TEST(NumberedPdfPath, KeepsTheNumberWithinThePathLimitCuttingWholeCharacters) {
    const std::string deep = "C:\\" + std::string(200, 'f');  // 203 units: 51 left for a name
    std::string accents, emoji;
    for (int i = 0; i < 60; ++i) accents += "é";
    for (int i = 0; i < 30; ++i) emoji += "😀";  // two units each
    const auto repeat = [](const std::string& piece, int count) {
        std::string text;
        for (int i = 0; i < count; ++i) text += piece;
        return text;
    };
    const struct {
        std::string pdfPath;
        int number;
        std::string expected;
    } rows[] = {
        {"C:\\PDF\\Offer.pdf", 1, "C:\\PDF\\Offer.pdf"},
        {"C:\\PDF\\Offer.pdf", 12, "C:\\PDF\\Offer (12).pdf"},
        {deep + "\\" + accents + ".pdf", 1, deep + "\\" + repeat("é", 51) + ".pdf"},
        {deep + "\\" + accents + ".pdf", 2, deep + "\\" + repeat("é", 47) + " (2).pdf"},
        {deep + "\\" + emoji + ".pdf", 1, deep + "\\" + repeat("😀", 25) + ".pdf"},
        {"C:\\" + std::string(300, 'n') + ".pdf", 1, "C:\\" + std::string(251, 'n') + ".pdf"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(NumberedPdfPath(row.pdfPath, row.number), row.expected) << row.pdfPath;
}

}  // namespace vellum::startup
