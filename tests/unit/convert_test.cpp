#include "convert/convert.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "convert/environment.h"
#include "convert/ghostscript_command.h"
#include "convert/ghostscript_paths.h"
#include "convert/leftovers.h"
#include "convert/pdf_check.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_msg_box.h"
#include "fakes/fake_startup.h"
#include "toolkit/text.h"
#include "settings/settings.h"

namespace vellum::convert {

TEST(GhostscriptCommand, QuotesEveryPathByTheWindowsRules) {
    const settings::SettingsRecord s{R"(C:\Program Files\gs\bin\gswin64c.exe)",
                                     R"(C:\Program Files\gs\fonts)", R"(C:\Program Files\gs\lib)",
                                     "0", ""};
    EXPECT_EQ(
        GhostscriptCommandLine(s, R"(D:\My PDFs\report.pdf)", R"(C:\spool\job 12.ps)"),
        R"("C:\Program Files\gs\bin\gswin64c.exe" -I"C:\Program Files\gs\lib;C:\Program Files\gs\fonts")"
        R"( -sDEVICE=pdfwrite -r300 -q -dBATCH -dNOPAUSE -dSAFER -sPAPERSIZE=a4)"
        R"( -sOutputFile="D:\My PDFs\report.pdf" -c save pop -f "C:\spool\job 12.ps")");
}

TEST(GhostscriptCommand, PercentInTheOutputFileIsLiteralAndNowhereElse) {
    FakeFileSystem files;  // no inheritable handle: the path is named, each "%" doubled
    const GhostscriptOutput output(files, R"(D:\50% off %d.pdf)");
    EXPECT_EQ(output.OutputFile(), R"(D:\50%% off %%d.pdf)");
    const settings::SettingsRecord s{R"(C:\100%\gs.exe)", "", R"(C:\100%\lib)", "", ""};
    const std::string line = GhostscriptCommandLine(s, output.OutputFile(), R"(C:\a%b.ps)");
    EXPECT_NE(line.find(R"(-I"C:\100%\lib;")"), std::string::npos) << line;
    EXPECT_NE(line.find(R"(-f "C:\a%b.ps")"), std::string::npos) << line;
}

TEST(GhostscriptCommand, QualityPresetsAndPdfAAddTheirSwitchesBeforeTheOutput) {
    settings::SettingsRecord s{"gs.exe", "", R"(C:\gs\lib)", "", ""};
    const std::string icc = R"(C:\gs\iccprofiles\srgb.icc)";
    const std::string pdfa =
        " -dPDFA=2 -dPDFACompatibilityPolicy=1 -sColorConversionStrategy=RGB"
        " -dEmbedAllFonts=true --permit-file-read=\"" +
        icc + "\" -sPDFAProfile=\"" + icc + "\"";
    const struct {
        const char* quality;
        std::string profile, added;
    } cases[] = {{"default", "", ""},
                 {"screen", "", " -dPDFSETTINGS=/screen"},
                 {"ebook", "", " -dPDFSETTINGS=/ebook"},
                 {"printer", "", " -dPDFSETTINGS=/printer"},
                 {"prepress", icc, " -dPDFSETTINGS=/prepress" + pdfa}};
    for (const auto& c : cases) {
        s.pdfQuality = c.quality;
        const std::string line = GhostscriptCommandLine(s, "a.pdf", "b.ps", c.profile);
        EXPECT_NE(line.find("-sPAPERSIZE=a4" + c.added + " -sOutputFile="), std::string::npos)
            << line;
        // The output intent is made by PostScript run before the job.
        EXPECT_EQ(line.find("-c save pop \"[/_objdef {vellum_icc}") != std::string::npos,
                  !c.profile.empty());
    }
}

TEST(GhostscriptCommand, TheSrgbProfileIsFoundBesideTheLibFolder) {
    FakeFileSystem files;
    EXPECT_EQ(FindSrgbProfile(files, R"(C:\gs\lib)"), std::nullopt);
    files.files.insert(R"(C:\gs\iccprofiles\default_rgb.icc)");
    EXPECT_EQ(FindSrgbProfile(files, R"(C:\gs\lib\)"), R"(C:\gs\iccprofiles\default_rgb.icc)");
    files.files.insert(R"(C:\gs\iccprofiles\srgb.icc)");
    EXPECT_EQ(FindSrgbProfile(files, R"(C:\gs\lib)"), R"(C:\gs\iccprofiles\srgb.icc)");
}

TEST(GhostscriptCommand, ProgramIsTheFirstWordAsTheSystemReadsIt) {
    EXPECT_EQ(ProgramOf(R"("C:\Program Files\gs\gswin64c.exe" -q)"),
              R"(C:\Program Files\gs\gswin64c.exe)");
    EXPECT_EQ(ProgramOf(R"(C:\gs\gswin64c.exe -q "x")"), R"(C:\gs\gswin64c.exe)");
    EXPECT_EQ(ProgramOf("gs\t-q"), "gs");
    EXPECT_EQ(ProgramOf(R"("C:\no closing quote)"), R"(C:\no closing quote)");
    EXPECT_EQ(ProgramOf(""), "");
}

TEST(GhostscriptCommand, TrailingBackslashesAreDoubledBeforeTheClosingQuote) {
    EXPECT_EQ(Quoted(R"(C:\gs\fonts\)"), R"("C:\gs\fonts\\")");
    EXPECT_EQ(Quoted(R"(C:\)"), R"("C:\\")");
    // Backslashes inside a path stay single: they precede no quote.
    EXPECT_EQ(Quoted(R"(C:\a\b)"), R"("C:\a\b")");
    EXPECT_EQ(Quoted(R"(say "hi"\)"), R"("say \"hi\"\\")");
    // Before an embedded quote each backslash is doubled and the quote escaped.
    EXPECT_EQ(Quoted(R"(a\"b)"), R"("a\\\"b")");
    EXPECT_EQ(Quoted(R"(a\\"b)"), R"("a\\\\\"b")");
    EXPECT_EQ(Quoted(""), R"("")");
}

using ::testing::HasSubstr;
using ::testing::MatchesRegex;
using ::testing::Not;
using namespace std::chrono_literals;

// A PDF folder, a Ghostscript that writes its PDF to its output file, and a message box.
struct ConvertWorld {
    ConvertWorld() {
        // Ghostscript's part: it writes a PDF to its output file, which must exist already.
        runner.onRun = [this](const std::string& line) {
            written = OutputFileOf(line);
            ASSERT_TRUE(files.FileExists(written)) << "Ghostscript writes over a reserved name";
            ASSERT_FALSE(runner.environments.back().empty());
            gsTempDuringRun = files.folders.count(runner.environments.back()[0].second) != 0;
            files.Write(written, newPdf);
        };
    }
    ConvertWorld(const ConvertWorld&) = delete;
    // As the convert mode does it: the result's message told once.
    bool Convert(bool neverReplace = false, bool addPages = false) {
        ConvertServices services{runner, files, box, progress};
        result = ConvertToPdf(services, settings, {pdf, neverReplace, "", "", 0, addPages},
                              R"(C:\spool\job.ps)");
        Tell(box, result);
        return result.outcome == Outcome::Written;
    }
    // Files left in the PDF folder besides the PDF itself.
    std::vector<std::string> Leftovers() const {
        std::vector<std::string> left;
        for (const std::string& f : files.files)
            if (f.rfind("C:\\PDF\\", 0) == 0 && f != pdf) left.push_back(f);
        return left;
    }
    std::string Message() const { return box.shown.empty() ? "" : box.shown[0].text; }

    settings::SettingsRecord settings{R"(C:\gs\gswin64c.exe)", "", R"(C:\gs\lib)", "0", ""};

    FakeProcessRunner runner;
    FakeFileSystem files;
    FakeMsgBox box;
    FakeProgressWindow progress;
    const std::string pdf = R"(C:\PDF\out.pdf)";
    const std::string oldPdf = "%PDF-1.4 the 500 pages of last week";
    std::string newPdf = "%PDF-1.7 this job\ntrailer\n<<>>\nstartxref\n9\n%%EOF\n";
    std::string written;
    bool gsTempDuringRun = false;
    ConversionResult result;
};

class ConvertTest : public ::testing::Test, public ConvertWorld {};

TEST_F(ConvertTest, GhostscriptWritesBesideThePdfWhichTheResultThenReplacesInOneMove) {
    files.Write(pdf, oldPdf);
    EXPECT_TRUE(Convert());
    EXPECT_TRUE(box.shown.empty());
    ASSERT_EQ(runner.showWindows.size(), 1u);
    EXPECT_EQ(runner.showWindows[0], kSwHide);
    EXPECT_THAT(written, MatchesRegex(R"(C:\\PDF\\out\.pdf\.[0-9a-f]{8}\.vellum-tmp)"));
    EXPECT_THAT(runner.commandLines[0], HasSubstr("-sOutputFile=\"" + written + "\""));
    EXPECT_EQ(files.data[pdf], newPdf);
    EXPECT_TRUE(Leftovers().empty());
    const auto move =
        std::find(files.log.begin(), files.log.end(), "move " + written + " > " + pdf);
    ASSERT_NE(move, files.log.end());
    EXPECT_EQ(move[2], "release " + written)  // after the fake move's own "remove"
        << "held from its creation until it is the PDF, which another job may replace";
    newPdf = "%PDF-1.7 " + std::string(3 * kPdfTailBytes, 'x') + "\nstartxref\n9\n%%EOF\n";
    EXPECT_TRUE(Convert()) << "a PDF larger than the tail that is checked";
}

TEST_F(ConvertTest, PdfAUsesGhostscriptsProfileAndWithoutItMakesAnOrdinaryPdfAndSaysSo) {
    settings.pdfA = "2";
    EXPECT_TRUE(Convert());
    EXPECT_THAT(runner.commandLines[0], Not(HasSubstr("-dPDFA")));
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text, MissingProfileNote(pdf, settings.gsLib));
    EXPECT_THAT(box.shown[0].text, HasSubstr("not as PDF/A-2b"));

    files.files.insert(R"(C:\gs\iccprofiles\srgb.icc)");
    box.shown.clear();
    EXPECT_TRUE(Convert());
    EXPECT_THAT(runner.commandLines[1], HasSubstr(R"(-sPDFAProfile="C:\gs\iccprofiles\srgb.icc")"));
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(ConvertTest, GhostscriptGetsATemporaryFolderOfItsOwnRemovedAfterEveryRun) {
    for (const convert::ProcessResult& outcome :
         {ProcessResult{true, 0, "", ""}, ProcessResult{true, 1, "boom", ""},
          ProcessResult{false, 0, "", "Bad EXE format for C:\\gs\\gswin64c.exe."}}) {
        runner.result = outcome;
        Convert();
        const Environment& env = runner.environments.back();
        ASSERT_EQ(env.size(), 2u);
        EXPECT_EQ(env[0].first, "TEMP");
        EXPECT_EQ(env[1].first, "TMP");
        EXPECT_EQ(env[0].second, env[1].second);
        EXPECT_EQ(files.log.back(), "rmtree " + env[0].second);
    }
    EXPECT_TRUE(gsTempDuringRun);
    EXPECT_TRUE(files.folders.empty());
    EXPECT_NE(runner.environments[0][0].second, runner.environments[1][0].second);
}

TEST_F(ConvertTest, IncompletePdfNeverReplacesTheOldOneAndAFullDiskIsNamed) {
    const std::string full =
        "The disk is full: there was no room left for the PDF or for "
        "Ghostscript's temporary files. Make room on the disk and print again.";
    const std::string notFlushed = "!";  // the content is whole, its flush fails
    const std::string cut = newPdf.substr(0, newPdf.size() / 2);
    const std::pair<std::string, std::string> cases[] = {{newPdf.substr(0, 3), ""},
                                                         {cut, ""},
                                                         {newPdf.substr(0, newPdf.size() - 3), ""},
                                                         {newPdf.substr(0, newPdf.size() - 20), ""},
                                                         {"<html>startxref %%EOF", ""},
                                                         {"%PDF-1.7\n%%EOF\nstartxref\n", ""},
                                                         {cut, full},
                                                         {notFlushed, full}};
    for (const auto& [content, why] : cases) {
        SCOPED_TRACE(content);
        files.Write(pdf, oldPdf);
        box.shown.clear();
        files.freeSpace = why.empty() ? 1u << 30 : 4000;
        if (content == notFlushed)
            files.flushFailure = toolkit::RuntimeError(112, "Vellum", "There is not enough space.");
        runner.onRun = [&](const std::string& line) {
            files.Write(OutputFileOf(line), content == notFlushed ? newPdf : content);
        };
        EXPECT_FALSE(Convert());
        EXPECT_EQ(Message(),
                  "The PDF C:\\PDF\\out.pdf was not made.\r\n"
                  "The PDF Ghostscript wrote is incomplete.\r\n" +
                      (why.empty() ? "" : why + "\r\n") + "The existing file was not changed.");
        EXPECT_EQ(files.data[pdf], oldPdf);
        EXPECT_TRUE(Leftovers().empty());
    }
    EXPECT_TRUE(LooksLikeWholePdf(newPdf, newPdf.substr(newPdf.size() - 30)));
    EXPECT_FALSE(LooksLikeWholePdf(newPdf, "")) << "the trailer must be in the last kilobyte";
}

TEST_F(ConvertTest, PdfOpenElsewhereIsRetriedUntilItMovesOrTheUserCancels) {
    files.moveFailure = toolkit::RuntimeError(32, "Vellum", "In use.");
    const std::string question =
        "C:\\PDF\\out.pdf\r\nis open in another program. Close it there, then choose Retry.";
    // Fails twice, then the viewer has let go.
    files.Write(pdf, oldPdf);
    files.moveFailures = 2;
    box.answers = {toolkit::Answer::Retry, toolkit::Answer::Retry};
    EXPECT_TRUE(Convert());
    ASSERT_EQ(box.shown.size(), 2u);
    EXPECT_EQ(box.shown[1].text, question);
    EXPECT_EQ(files.data[pdf], newPdf);
    // Cancel: the old PDF stays and the new one goes; access denied on a file that is there.
    files.Write(pdf, oldPdf);
    files.moveFailure = toolkit::RuntimeError(5, "Vellum", "Access is denied.");
    files.moveFailures = 1;
    box.shown.clear();
    EXPECT_FALSE(Convert());
    ASSERT_EQ(box.shown.size(), 1u) << "nothing after the user's own Cancel";
    EXPECT_EQ(Message(), question);
    EXPECT_EQ(files.data[pdf], oldPdf);
    EXPECT_TRUE(Leftovers().empty());
    // No window can be shown: saved under the first free name instead.
    files.Write("C:\\PDF\\out (2).pdf", "taken");
    files.moveFailures = 1;
    box.shown.clear();
    box.answers = {toolkit::Answer::NoWindow};
    EXPECT_TRUE(Convert());
    EXPECT_EQ(files.data["C:\\PDF\\out (3).pdf"], newPdf);
    EXPECT_EQ(box.shown.back().text,
              "The PDF C:\\PDF\\out.pdf is open in another program, so the "
              "new one was saved as C:\\PDF\\out (3).pdf.");
}

TEST(ConvertAddingPages, AWholePdfTakesThemFirstElseAskedStopsAndUnaskedSavesBeside) {
    const std::string whole = "%PDF-1.7\ntrailer\nstartxref\n9\n%%EOF\n";
    const struct {
        std::string existing;
        bool neverReplace, written;
        const char* path;  // the PDF written, and whether the pages went first
    } rows[] = {
        {whole, false, true, "C:\\PDF\\out.pdf +"},   {whole, true, true, "C:\\PDF\\out.pdf +"},
        {"", false, true, "C:\\PDF\\out.pdf"},        {"%!PS", false, false, "C:\\PDF\\out.pdf"},
        {"%!PS", true, true, "C:\\PDF\\out (2).pdf"},
    };
    for (const auto& row : rows) {
        ConvertWorld w;
        w.files.Write(w.pdf, row.existing);
        EXPECT_EQ(w.Convert(row.neverReplace, true), row.written) << row.existing;
        const bool first =
            w.runner.commandLines.size() == 1 &&
            w.runner.commandLines[0].find(R"(-f "C:\PDF\out.pdf")") != std::string::npos;
        EXPECT_EQ(w.result.pdfPath + (first ? " +" : ""), row.path) << row.existing;
    }
}

TEST_F(ConvertTest, OwnLeftoversOlderThanADayGoAndNothingElse) {
    using toolkit::OwnerKind;
    const std::int64_t old = 25 * 3600, young = 23 * 3600;
    // What opening by handle finds decides over the listing (a folder swapped for a link after
    // the listing, one a user planted).
    const toolkit::OpenedFacts link{true, true, OwnerKind::System, "x"},
        others{true, false, OwnerKind::Other, "x"}, file{false, false, OwnerKind::System, "x"},
        admins{true, false, OwnerKind::Administrators, "x"},
        fileLink{false, true, OwnerKind::System, "x"},
        othersFile{false, false, OwnerKind::Other, "x"};
    const struct {
        const char* folder;
        toolkit::FolderEntry listed;
        std::optional<toolkit::OpenedFacts> opened;  // none: an own file or folder
        bool removed;
    } rows[] = {
        {"C:\\Temp", {"vellum-0000abcd", true, false, old}, {}, true},
        {"C:\\Temp", {"vellum-0000abce", true, false, young}, {}, false},
        {"C:\\Temp", {"vellum-0000abcf", true, true, old}, {}, false},
        {"C:\\Temp", {"vellum-0000abcg", true, false, old}, {}, false},
        {"C:\\Temp", {"vellum-0000abc1", true, false, old}, link, false},
        {"C:\\Temp", {"vellum-0000abc2", true, false, old}, others, false},
        {"C:\\Temp", {"vellum-0000abc3", true, false, old}, file, false},
        {"C:\\Temp", {"vellum-0000abc4", true, false, old}, admins, true},
        {"C:\\PDF", {"a.pdf.12345678.vellum-tmp", false, false, old}, {}, true},
        {"C:\\PDF", {"b.pdf.12345678.vellum-tmp", false, false, young}, {}, false},
        {"C:\\PDF", {"c.pdf.12345678.vellum-tmp", false, true, old}, {}, false},
        {"C:\\PDF", {"d.pdf.1234567x.vellum-tmp", false, false, old}, {}, false},
        {"C:\\PDF", {".12345678.vellum-tmp", false, false, old}, {}, false},
        {"C:\\PDF", {"report.pdf", false, false, old}, {}, false},
        {"C:\\PDF", {"e.pdf.12345678.vellum-tmp", false, false, old}, fileLink, false},
        {"C:\\PDF", {"f.pdf.12345678.vellum-tmp", false, false, old}, othersFile, false},
    };
    for (const auto& row : rows) {
        const std::string path = std::string(row.folder) + "\\" + row.listed.name;
        files.listings[row.folder].push_back(row.listed);
        if (row.opened)
            files.handleFacts[path] = *row.opened;
        else if (row.listed.folder)
            files.folders.insert(path);
        else
            files.files.insert(path);
    }
    // In an own folder, a link goes as the link: what it points to stays.
    files.listings["C:\\Temp\\vellum-0000abcd"] = {{"link", true, true, old}};
    files.handleFacts["C:\\Temp\\vellum-0000abcd\\link"] = {true, true, OwnerKind::Other, "x"};
    Convert();
    for (const auto& row : rows) {
        const std::string path = std::string(row.folder) + "\\" + row.listed.name;
        const bool deleted =
            std::find(files.log.begin(), files.log.end(), "delete " + path) != files.log.end();
        EXPECT_EQ(deleted, row.removed) << path;
    }
    EXPECT_NE(
        std::find(files.log.begin(), files.log.end(), "delete C:\\Temp\\vellum-0000abcd\\link"),
        files.log.end());
}

TEST_F(ConvertTest, EachFolderIsCleanedUpAtMostOnceADayAsItsMarkInTheTempFolderSays) {
    const std::string left = "C:\\PDF\\a.pdf.12345678.vellum-tmp";
    files.listings["C:\\PDF"] = {{"a.pdf.12345678.vellum-tmp", false, false, 25 * 3600}};
    for (const std::int64_t markAge : {0LL, 23 * 3600LL, 25 * 3600LL, -60LL}) {  // 0: none yet
        for (const std::string& f : files.files)  // the temporary folder's and the PDF folder's
            if (f.rfind("C:\\Temp\\vellum-cleaned-", 0) == 0)
                files.listings["C:\\Temp"].push_back({f.substr(8), false, false, markAge});
        files.Write(left, "");
        Convert();
        EXPECT_EQ(files.FileExists(left), markAge == 23 * 3600) << markAge;
        files.listings["C:\\Temp"].clear();
    }
}

TEST(ConvertFailure, SaysWhyInItsMessageKeepsAnyEarlierPdfAndLeavesNothingBehind) {
    const std::string notMade = "The PDF C:\\PDF\\out.pdf was not made.\r\n";
    const std::string exitCode = "Ghostscript could not convert the print job (exit code ";
    const std::string kept = "\r\nThe existing file was not changed.";
    const std::string notStarted = "Ghostscript could not be started.\r\nC:\\gs\\gswin64c.exe\r\n";
    const std::string noSpace = "There is not enough space on the disk.";
    const std::string folderGone =
        "Its folder C:\\PDF was renamed or removed while the PDF was made.";
    const ProcessResult ran{true, 0, "", ""};
    using World = ConvertWorld;
    const auto outputGone = [](World& w) {
        w.runner.onRun = [&w](const std::string& line) { w.files.RemoveFile(OutputFileOf(line)); };
    };
    const struct {
        const char* what;
        bool old;  // an earlier PDF is there
        ProcessResult run;
        std::function<void(World&)> arrange;
        std::string message;
        size_t runs = 1;
        std::string logLine = "";  // checked where set
    } rows[] = {
        {"Ghostscript failed: its error line, and its last words",
         true,
         {true, 1,
          "Error: /syntaxerror in (bad)\nOperand stack:\n\n"
          "GPL Ghostscript 10.00.0: Unrecoverable error, exit code 1\n",
          ""},
         nullptr,
         notMade + "Error: /syntaxerror in (bad)\r\n" + exitCode + "1)." + kept +
             "\r\n\r\nError: /syntaxerror in (bad)\r\nOperand stack:\r\n\r\n"
             "GPL Ghostscript 10.00.0: Unrecoverable error, exit code 1",
         1,
         "Error: /syntaxerror in (bad)"},
        {"an empty file is no PDF to speak of keeping",
         false,
         {true, 1, "boom\n", ""},
         [](World& w) { w.files.Write(w.pdf, ""); },
         notMade + "boom\r\n" + exitCode + "1).\r\n\r\nboom"},
        {"a full disk, named instead of Ghostscript's stack dump",
         true,
         {true, 1,
          "Error: /ioerror in --showpage--\nOperand stack:\n   1   true\n"
          "Current allocation mode is local\nLast OS error: No space left on device\n"
          "GPL Ghostscript 10.00.0: Unrecoverable error, exit code 1\n",
          ""},
         nullptr,
         notMade +
             "The disk is full: there was no room left for the PDF or for Ghostscript's "
             "temporary files. Make room on the disk and print again.\r\n" +
             exitCode + "1)." + kept},
        {"a crash, in hex with the system's wording",
         false,
         {true, 0xC0000005u, "", "", false,
          "The instruction at 0x%p referenced memory at 0x%p. The memory could not be %s."},
         nullptr,
         notMade + exitCode +
             "0xC0000005).\r\nGhostscript ended abnormally: The instruction at ? referenced "
             "memory at ?. The memory could not be ?."},
        {"a crash without wording",
         false,
         {true, 0xC0000000u, "", ""},
         nullptr,
         notMade + exitCode + "0xC0000000).\r\nGhostscript ended abnormally."},
        {"not started",
         false,
         {false, 0, "", "The system cannot find the file specified."},
         nullptr,
         notStarted + "The system cannot find the file specified."},
        {"exit code 0, nothing written", true, ran, [](World& w) { w.runner.onRun = nullptr; },
         notMade + "Ghostscript finished without writing the PDF." + kept},
        {"exit code 0, the output gone", true, ran,
         [&](World& w) { w.files.folders.insert("C:\\PDF"), outputGone(w); },
         notMade + "Ghostscript finished without writing the PDF." + kept},
        // Wine lets a folder with an open file be renamed or removed, Windows does not.
        {"exit code 0, the folder renamed or removed meanwhile", true, ran, outputGone,
         notMade + folderGone, 1, folderGone},
        {"the move failed", true, ran,
         [](World& w) {
             w.files.moveFailure = toolkit::RuntimeError(19, "Vellum", "Write protected.");
         },
         "The PDF could not be saved as C:\\PDF\\out.pdf.\r\nWrite protected." + kept},
        {"access denied, with no PDF there for another program to hold", false, ran,
         [](World& w) { w.files.moveFailure = toolkit::RuntimeError(5, "Vellum", "Denied."); },
         "The PDF could not be saved as C:\\PDF\\out.pdf.\r\nDenied."},
        {"no temporary file: Ghostscript is not run for nothing", true, ran,
         [](World& w) {
             w.files.createFailure = toolkit::RuntimeError(5, "Vellum", "Access denied.");
         },
         "The PDF could not be saved as C:\\PDF\\out.pdf.\r\nAccess denied." + kept, 0},
        {"no temporary folder", false, ran,
         [&](World& w) { w.files.tempFailure = toolkit::RuntimeError(112, "Vellum", noSpace); },
         notStarted + "Its temporary folder could not be made in C:\\Temp: " + noSpace +
             "\r\nMake sure C:\\Temp exists and that you can write to it, or set the TEMP "
             "variable to a folder that does.",
         0},
        {"no temporary folder, nor TEMP", false, ran,
         [&](World& w) {
             w.files.tempFailure = toolkit::RuntimeError(112, "Vellum", noSpace);
             w.files.tempRoot = "";
         },
         notStarted + "Its temporary folder could not be made: " + noSpace +
             "\r\nSet the TEMP variable to a folder that exists and that you can write to.",
         0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        World w;
        if (row.old) w.files.Write(w.pdf, w.oldPdf);
        w.runner.result = row.run;
        if (row.arrange) row.arrange(w);
        const std::optional<std::string> before =
            w.files.FileExists(w.pdf) ? std::optional(w.files.data[w.pdf]) : std::nullopt;
        EXPECT_FALSE(w.Convert());
        ASSERT_EQ(w.box.shown.size(), 1u);
        EXPECT_EQ(w.Message(), row.message);
        EXPECT_EQ(w.box.shown[0].title, "Error!");
        EXPECT_EQ(w.box.shown[0].icon, toolkit::Icon::Error);
        EXPECT_EQ(w.runner.commandLines.size(), row.runs);
        EXPECT_EQ(w.files.FileExists(w.pdf) ? std::optional(w.files.data[w.pdf]) : std::nullopt,
                  before);
        EXPECT_TRUE(w.Leftovers().empty());
        EXPECT_EQ(w.files.folders.size(), w.files.folders.count("C:\\PDF")) << "no temp folder";
        EXPECT_EQ(row.logLine.empty() ? "" : w.result.logLine, row.logLine);
    }
}

TEST_F(ConvertTest, TakenTemporaryNamesAreSkipped) {
    files.takenNames = 3;  // another job holds three names: ours must differ from each
    EXPECT_TRUE(Convert());
    std::set<std::string> tried;
    for (const std::string& entry : files.log)
        if (entry.rfind("create ", 0) == 0) tried.insert(entry);
    EXPECT_EQ(tried.size(), 4u);
}

TEST_F(ConvertTest, OnlyALongRunShowsThePdfAndTheTimeUntilItEnds) {
    runner.waits = {250ms, 500ms, 999ms};
    EXPECT_TRUE(Convert());
    EXPECT_TRUE(progress.log.empty());
    runner.waits = {250ms, 1000ms, 1250ms, 2000ms, 61500ms};
    EXPECT_TRUE(Convert());
    EXPECT_EQ(progress.log, (std::vector<std::string>{"open C:\\PDF\\out.pdf", "time 0:01",
                                                      "time 0:02", "time 1:01", "close"}));
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(ConvertTest, CancelEndsGhostscriptKeepsTheOldPdfAndSaysNoPdfWasMade) {
    files.Write(pdf, oldPdf);
    runner.waits = {500ms, 1000ms, 1500ms, 2000ms, 3000ms};
    progress.cancelAt = 3;  // after "open", "time 0:01" and "time 0:02"
    EXPECT_FALSE(Convert());
    EXPECT_EQ(runner.ended, 1);
    EXPECT_EQ(progress.log.back(), "close");
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].title, "Cancelled");
    EXPECT_EQ(box.shown[0].icon, toolkit::Icon::Information);
    EXPECT_EQ(Message(),
              "The PDF was not made: the conversion was cancelled.\r\n"
              "The existing file was not changed.");
    EXPECT_EQ(files.data[pdf], oldPdf);
    EXPECT_TRUE(Leftovers().empty());
    EXPECT_TRUE(files.folders.empty());
}

TEST(GhostscriptPaths, OnlyWhatGhostscriptDecodesPassesAsAPath) {
    for (const auto& [path, opens] : std::vector<std::pair<std::string, bool>>{
             {R"(C:\a & b\'c'; 100%.pdf)", true},
             {"C:\\\xD0\x96\\\xE6\x97\xA5.pdf", true},         // Cyrillic, CJK
             {"C:\\Party \xF0\x9F\x8E\x89.pdf", false},        // emoji
             {"C:\\\xE0\xA4\xB0\xE0\xA4\xBF\\a.pdf", false}})  // Devanagari
        EXPECT_EQ(GhostscriptCanOpen(path), opens) << path;
}

TEST(TemporaryPath, SitsBesideThePdfAndStaysWithinThePathLimit) {
    EXPECT_EQ(TemporaryPathFor(R"(D:\My PDFs\report.pdf)", 0x1a2bu),
              R"(D:\My PDFs\report.pdf.00001a2b.vellum-tmp)");
    EXPECT_EQ(TemporaryPathFor("report.pdf", 0xffffffffu), "report.pdf.ffffffff.vellum-tmp");
    const std::string tooLong = "C:\\" + std::string(260, 'f') + "\\";
    EXPECT_EQ(TemporaryPathFor(tooLong + "ab.pdf", 7), tooLong + "a.00000007.vellum-tmp");

    const std::string folder = "C:\\" + std::string(200, 'f') + "\\";
    const std::string longName = folder + std::string(40, 'n') + "\xD0\x96\xD0\x96.pdf";
    const std::string cut = TemporaryPathFor(longName, 7);
    EXPECT_EQ(toolkit::Utf16Length(cut), 259);
    EXPECT_EQ(cut.rfind(folder, 0), 0u);
    EXPECT_EQ(cut.substr(cut.size() - 20), ".00000007.vellum-tmp");
    const std::string withCyrillic = folder + std::string(30, 'n') + "\xD0\x96\xD0\x96\xD0\x96.pdf";
    const std::string cutInside = TemporaryPathFor(withCyrillic, 7);
    EXPECT_LE(toolkit::Utf16Length(cutInside), 259);
    EXPECT_EQ(PrintableText(cutInside), cutInside) << "no character is cut in half";
    // Five too many: ".pdf" and one whole euro sign (three bytes, one UTF-16 unit) go.
    const std::string euro = "\xE2\x82\xAC";
    EXPECT_EQ(TemporaryPathFor(folder + std::string(33, 'n') + euro + euro + euro + ".pdf", 7),
              folder + std::string(33, 'n') + euro + euro + ".00000007.vellum-tmp");
}

TEST(RunReport, PrintableTextKeepsUtf8AndLineBreaksAndDropsTheRest) {
    EXPECT_EQ(PrintableText("Line 1\r\n\tcaf\xC3\xA9 \xD0\x96 \xE2\x82\xAC \xF0\x9F\x98\x80\n"),
              "Line 1\r\n\tcaf\xC3\xA9 \xD0\x96 \xE2\x82\xAC \xF0\x9F\x98\x80\n");
    EXPECT_EQ(PrintableText(std::string("a\0b\x01\x1b[31mc\x7f", 10)), "ab[31mc");
    EXPECT_EQ(PrintableText("\xC2\x85\xC2\x9F"
                            "x"),
              "x")
        << "C1 controls";
    EXPECT_EQ(PrintableText("\xFF\xFE\x80x\xC3"), "x") << "bytes of no UTF-8 sequence";
    EXPECT_EQ(PrintableText("\xC0\xAF\xED\xA0\x80\xF4\x90\x80\x80y"), "y")
        << "overlong forms, surrogates and code points past U+10FFFF";
    EXPECT_EQ(PrintableText("\xE2\x82"
                            "y"),
              "y")
        << "a sequence cut short";
}

TEST(RunReport, ExitCodesAreDecimalAndAbnormalEndsHexadecimal) {
    EXPECT_EQ(ExitCodeText(0), "0");
    EXPECT_EQ(ExitCodeText(1), "1");
    EXPECT_EQ(ExitCodeText(0xBFFFFFFFu), "3221225471");
    EXPECT_EQ(ExitCodeText(0xC0000005u), "0xC0000005");
    EXPECT_EQ(ExitCodeText(0xFFFFFFFFu), "0xFFFFFFFF");
}

TEST(RunReport, OutputTailKeepsTheLastLinesWithinBothLimits) {
    std::string output;
    for (int i = 1; i <= 50; ++i) output += "line " + std::to_string(i) + "\r\n";
    const std::string tail = OutputTail(output);
    EXPECT_EQ(tail.rfind("line 31\r\n", 0), 0u) << tail;
    EXPECT_EQ(tail.substr(tail.size() - 7), "line 50");
    // Trailing blank lines are no part of it, nor use up its line budget.
    EXPECT_EQ(OutputTail("Error: /syntaxerror\r\nUnrecoverable error\r\n\r\n  \n\n"),
              "Error: /syntaxerror\r\nUnrecoverable error");
    const std::string twenty = output.substr(0, output.find("line 21"));
    EXPECT_EQ(OutputTail(twenty + std::string(30, '\n')).rfind("line 1\r\n", 0), 0u);

    const std::string longLine(5000, 'x');
    const std::string cut = OutputTail("first\n" + longLine + "\n");
    EXPECT_LE(cut.size(), 2000u);
    EXPECT_EQ(cut.rfind("...", 0), 0u);
    EXPECT_EQ(OutputTail(""), "");

    EXPECT_EQ(OutputTail("Error: /undefined in \x89PNG\x1a\x00\xff\n\x01\x02\n", 20, 2000),
              "Error: /undefined in PNG")
        << "binary bytes of the job are dropped, and a line left blank by it too";
    std::string line;
    for (int i = 0; i < 10; ++i) line += "\xD0\x96";
    EXPECT_EQ(OutputTail(line, 20, 8), "...\xD0\x96\xD0\x96") << "never half a character";
    EXPECT_EQ(OutputTail("rubout\x7f gone\n"), "rubout gone") << "DEL";
}

TEST(RunReport, StatusWordingLosesTheInsertsNoOneCouldFill) {
    // Windows' own wordings of the exit codes of crashed programs.
    EXPECT_EQ(ReadableStatusWording("The instruction at 0x%p referenced memory at 0x%p. The memory "
                                    "could not be %s.\r\n"),
              "The instruction at ? referenced memory at ?. The memory could not be ?.");
    EXPECT_EQ(ReadableStatusWording("{Application Error}\r\nThe exception %s (0x%08lx) occurred "
                                    "in the application at location 0x%p. Click OK."),
              "Click OK.");
    for (const char* same :
         {"A new guard page for the stack cannot be created.",
          "The system detected an overrun of a stack-based buffer in this application. This "
          "overrun could potentially allow a malicious user to gain control of this application.",
          "Paid 100% in full.", ""})
        EXPECT_EQ(ReadableStatusWording(same), same);
}

TEST(RunReport, FullDiskIsRecognisedByTheSystemsWordingInGhostscriptsOutput) {
    EXPECT_TRUE(
        SaysDiskFull("Current allocation mode is local\nLast OS error: No space left on device\n"));
    EXPECT_FALSE(
        SaysDiskFull("Error: /ioerror in --showpage--\nLast OS error: Permission denied\n"));
    EXPECT_FALSE(SaysDiskFull(""));
}

TEST(Progress, ElapsedTimeReadsAsOnAClock) {
    EXPECT_EQ(ElapsedText(0ms), "0:00");
    EXPECT_EQ(ElapsedText(1999ms), "0:01");
    EXPECT_EQ(ElapsedText(61s), "1:01");
    EXPECT_EQ(ElapsedText(3599s), "59:59");
    EXPECT_EQ(ElapsedText(3600s + 62s), "1:01:02");
}

TEST(Environment, VariablesReplaceTheirNamesakesInAnyCaseAndTheRestAreAdded) {
    const std::vector<std::string> block = {"=C:=C:\\work", "Path=C:\\Windows",
                                            "temp=C:\\Users\\a\\Temp", "TEMPLATE=x",
                                            "TMP=C:\\Users\\a\\Temp"};
    EXPECT_EQ(
        WithVariables(block,
                      Environment{{"TEMP", "C:\\t\\1"}, {"TMP", "C:\\t\\1"}, {"GS_LIB", "C:\\gs"}}),
        (std::vector<std::string>{"=C:=C:\\work", "Path=C:\\Windows", "TEMP=C:\\t\\1", "TEMPLATE=x",
                                  "TMP=C:\\t\\1", "GS_LIB=C:\\gs"}));
    EXPECT_EQ(WithVariables(std::vector<std::string>{"=C:=C:\\work"}, Environment{{"=C:", "D:\\"}}),
              (std::vector<std::string>{"=C:=C:\\work", "=C:=D:\\"}))
        << "a drive's folder is never taken for a variable";
    EXPECT_EQ(WithVariables(block, Environment{}), block);
}

}  // namespace vellum::convert
