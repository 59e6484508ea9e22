// A print job converted by the real vellum.exe and the machine's Ghostscript.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <regex>

#include "convert/progress_ids.h"
#include "e2e_support.h"
#include "toolkit/win32/strings.h"
#include "toolkit/win32/system_error.h"

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
    // A job of its own name, so that its processes can be told from any other test's.
    std::string WriteJob(const std::string& stem, const std::string& postScript) {
        const std::string path = jobs.File(stem + "-" + std::to_string(GetTickCount64()) + ".ps");
        WriteTextFile(path, postScript);
        return path;
    }
    std::vector<std::string> LeftInPdfFolder() const { return FilesIn(pdfs.Path()); }

    TempFolder pdfs{"pdf folder with spaces"};
    TempFolder jobs{"spool dir"};
};

// PostScript that spins for about `ms` milliseconds of Ghostscript's time before it goes on.
std::string Spin(int ms) {
    return "/vellumStart usertime def { usertime vellumStart sub " + std::to_string(ms) +
           " gt { exit } if } loop\n";
}

// The Ghostscript processes of a job: the launcher and the Unix gs it started, each seen on the
// Unix side with the job's name in its command line (as Vellum is, which is left out).
std::vector<std::string> GhostscriptProcesses(const std::string& jobName) {
    std::vector<std::string> found = UnixProcessesWith(jobName);
    found.erase(std::remove_if(found.begin(), found.end(),
                               [](const std::string& line) {
                                   return line.find("vellum.exe") != std::string::npos;
                               }),
                found.end());
    return found;
}

// The buttons of Vellum's question about an existing PDF (numbered from 100, in order).
constexpr int kReplace = 100;
constexpr int kAddPages = 101;

// Presses Replace in the question about an existing PDF, when one comes.
void ConfirmOverwriteIfAsked(const Process& vellum) {
    try {
        const MessageBoxInfo prompt = WaitForMessageBox(vellum, 2s);
        PressDialogButton(prompt.hwnd, kReplace);
    } catch (const DriverError&) {
    }
}

}  // namespace

TEST_F(ConvertTest, JobBecomesAPdfInTheDefaultFolderNamedAsTyped) {
    Process vellum = StartVellum(JobArgument());
    const HWND dialog = WaitForFileDialog(vellum);
    EXPECT_EQ(DialogFileTypes(dialog),
              (std::vector<std::string>{"Adobe PDF Files (*.pdf)", "All Files (*.*)"}));
    EXPECT_EQ(_stricmp(DialogFolder(dialog).c_str(), pdfs.Path().c_str()), 0)
        << DialogFolder(dialog);
    SubmitFileDialog(dialog, "report");  // no extension typed: .pdf is added

    EXPECT_EQ(WaitForSilentExit(vellum, kConvertTimeout), 0u);
    ASSERT_TRUE(FileExists(pdfs.File("report.pdf")));
    const std::string text = PdfText(pdfs.File("report.pdf"));
    for (const char* word : {"Vellum sample page 1 of 3", "Quillwort", "Marram", "Samphire"})
        EXPECT_NE(text.find(word), std::string::npos) << word << " in:\n" << text;
}

TEST_F(ConvertTest, PercentSignsInTheNameAreSavedAsTyped) {
    Process vellum = StartVellum(JobArgument());
    AnswerSaveAs(vellum, pdfs.File("50% off %d.pdf"));
    EXPECT_EQ(WaitForSilentExit(vellum, kConvertTimeout), 0u);
    EXPECT_EQ(LeftInPdfFolder(), std::vector<std::string>{"50% off %d.pdf"});
    EXPECT_NE(PdfText(pdfs.File("50% off %d.pdf")).find("Quillwort"), std::string::npos);
}

TEST_F(ConvertTest, NameTypedWithAnExtensionIsKeptAsTyped) {
    Process vellum = StartVellum(JobArgument());
    AnswerSaveAs(vellum, "report.ps2pdf");
    EXPECT_EQ(WaitForSilentExit(vellum, kConvertTimeout), 0u);
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
    EXPECT_EQ(box.buttons, std::vector<std::string>{"OK"});
    // Vellum's sentence, a blank line, then Ghostscript's own last words to the end, stdout's
    // report before stderr's closing line; only the stack dumps and the version are
    // Ghostscript's to vary.
    const std::regex whole(
        "The PDF [^\r\n]+broken\\.pdf was not made\\.\r\n"
        "Error: /undefined in vellumNoSuchOperator\r\n"
        "Ghostscript could not convert the print job \\(exit code 1\\)\\.\r\n"
        "\r\n"
        "Error: /undefined in vellumNoSuchOperator\r\n"
        "Operand stack:\r\n"
        "\r\n"
        "Execution stack:\r\n"
        "   [^\r\n]+\r\n"
        "Dictionary stack:\r\n"
        "   [^\r\n]+\r\n"
        "Current allocation mode is local\r\n"
        "Current file position is [0-9]+\r\n"
        "GPL Ghostscript [0-9.]+: Unrecoverable error, exit code 1");
    EXPECT_TRUE(std::regex_match(box.text, whole)) << box.text;
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
    // The system's own wording of why the file is no program ends the message, its insert
    // filled with the program's path.
    EXPECT_EQ(Seen(box), (Shown{"Error!",
                                "Ghostscript could not be started.\r\n" + fake + "\r\n" +
                                    win32::DescribeSystemError(ERROR_BAD_EXE_FORMAT, {fake}),
                                Icon::Error}));
    EXPECT_EQ(box.text.find('%'), std::string::npos) << box.text;
    SaveScreenshot(box.hwnd, "not-started-message");
    CloseMessageBox(box.hwnd);
    EXPECT_TRUE(vellum.WaitExit(10s));
    EXPECT_FALSE(FileExists(pdfs.File("never.pdf")));
}

TEST_F(ConvertTest, GhostscriptKeepsItsTemporaryFilesInAFolderOfItsOwnThatGoesAfterTheRun) {
    // The job prints where Ghostscript puts a temporary file of its own making.
    const std::string job = WriteJob("tempfile",
                                     "%!PS\n(vellum) (w) .tempfile closefile /name exch def\n"
                                     "/Helvetica findfont 8 scalefont setfont 36 700 moveto\n"
                                     "(TEMPFILE=) show name show showpage\n");
    Process vellum = StartVellum("\"" + job + "\"");
    AnswerSaveAs(vellum, pdfs.File("tempfile.pdf"));
    EXPECT_EQ(WaitForSilentExit(vellum, kConvertTimeout), 0u);
    const std::string text = PdfText(pdfs.File("tempfile.pdf"));
    std::smatch found;
    ASSERT_TRUE(std::regex_search(text, found, std::regex("TEMPFILE=\\S*/(vellum-[0-9a-f]{8})/")))
        << "not in a folder of this run's own:\n"
        << text;
    wchar_t temp[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    ASSERT_GT(length, 0u);
    const std::string folder = win32::Narrow(std::wstring(temp, length)) + found[1].str();
    EXPECT_EQ(GetFileAttributesW(win32::Widen(folder).c_str()), INVALID_FILE_ATTRIBUTES)
        << folder << " is still there";
}

TEST_F(ConvertTest, JobThatNeverEndsShowsProgressAndCancelEndsGhostscriptAndLeavesNoPdf) {
    const std::string job = WriteJob("loop-forever", "%!PS\n{} loop\n");
    const std::string jobName = job.substr(job.rfind('\\') + 1);
    const std::vector<DWORD> launchers = ProcessesNamed("gswin64c.exe");
    Process vellum = StartVellum("\"" + job + "\"");
    AnswerSaveAs(vellum, pdfs.File("endless.pdf"));

    const HWND progress = WaitForWindow(vellum, convert::ids::kProgressTitle, 15s);
    EXPECT_EQ(Text(Control(progress, convert::ids::kProgressWhat)), "Converting the print job to");
    EXPECT_EQ(Text(Control(progress, convert::ids::kProgressPdf)), pdfs.File("endless.pdf"));
    const HWND time = Control(progress, convert::ids::kProgressTime);
    WaitUntil(
        vellum, "the time so far to pass two seconds",
        [&] { return Text(time) >= "Time so far: 0:02"; }, 15s);
    EXPECT_FALSE(GhostscriptProcesses(jobName).empty()) << "Ghostscript runs";
    SaveScreenshot(progress, "progress-window");

    Click(Control(progress, convert::ids::kProgressCancel));
    const MessageBoxInfo box = WaitForMessageBox(vellum, 15s);
    EXPECT_EQ(box.title, "Cancelled");
    EXPECT_EQ(box.icon, Icon::Information);
    EXPECT_EQ(box.text, "The PDF was not made: the conversion was cancelled.");
    EXPECT_FALSE(IsWindow(progress) && IsVisible(progress)) << "the progress window is gone";
    SaveScreenshot(box.hwnd, "cancelled-message");
    // Both ended already when the message shows: the launcher and the Unix gs it started.
    EXPECT_EQ(ProcessesNamed("gswin64c.exe"), launchers);
    WaitUntil(
        vellum, "the Unix Ghostscript to end",
        [&] { return GhostscriptProcesses(jobName).empty(); }, 5s);
    CloseMessageBox(box.hwnd);
    EXPECT_TRUE(vellum.WaitExit(10s));
    EXPECT_TRUE(LeftInPdfFolder().empty()) << LeftInPdfFolder().front();
}

TEST_F(ConvertTest, GhostscriptEndsWhenVellumIsKilled) {
    const std::string job = WriteJob("orphan", "%!PS\n{} loop\n");
    const std::string jobName = job.substr(job.rfind('\\') + 1);
    Process vellum = StartVellum("\"" + job + "\"");
    AnswerSaveAs(vellum, pdfs.File("orphan.pdf"));
    WaitUntil(
        vellum, "Ghostscript to run", [&] { return !GhostscriptProcesses(jobName).empty(); }, 15s);
    vellum.Kill();
    const ULONGLONG killed = GetTickCount64();
    std::vector<std::string> left;
    do {
        left = GhostscriptProcesses(jobName);
    } while (!left.empty() && GetTickCount64() - killed < 5000);
    EXPECT_TRUE(left.empty()) << "still running 5 s after Vellum was killed: " << left.front();
    std::printf("Ghostscript gone %llu ms after Vellum was killed\n",
                static_cast<unsigned long long>(GetTickCount64() - killed));
}

TEST_F(ConvertTest, FailedJobOverAnExistingPdfLeavesItByteForByte) {
    std::string old = "%PDF-1.4\n";
    for (int i = 0; i < 4096; ++i) old += static_cast<char>((i * 37) & 0xFF);
    old += "\n%%EOF\n";
    WriteTextFile(pdfs.File("report.pdf"), old);
    CopyFileTo(SiblingPath("jobs\\broken.ps"), jobs.File("broken job.ps"));

    Process vellum = StartVellum("\"" + jobs.File("broken job.ps") + "\"");
    SubmitFileDialog(WaitForFileDialog(vellum), pdfs.File("report.pdf"));
    const MessageBoxInfo prompt = WaitForMessageBox(vellum);
    EXPECT_EQ(prompt.title + ": " + prompt.text, "Vellum: report.pdf already exists.");
    EXPECT_EQ(prompt.buttons, (std::vector<std::string>{"Replace", "Add pages", "Cancel"}));
    SaveScreenshot(prompt.hwnd, "existing-pdf-question");
    PressDialogButton(prompt.hwnd, kReplace);
    const MessageBoxInfo box = WaitForMessageBox(vellum, kConvertTimeout);
    EXPECT_NE(box.text.find("Ghostscript could not convert the print job (exit code 1).\r\n"
                            "The existing file was not changed.\r\n\r\n"),
              std::string::npos)
        << box.text;
    SaveScreenshot(box.hwnd, "failed-over-existing-message");
    CloseMessageBox(box.hwnd);
    EXPECT_TRUE(vellum.WaitExit(10s));
    EXPECT_EQ(ReadTextFile(pdfs.File("report.pdf")), old);
    EXPECT_EQ(LeftInPdfFolder(), std::vector<std::string>{"report.pdf"});
}

TEST_F(ConvertTest, TwoJobsSavedToOneNameAtOnceLeaveOneWholePdf) {
    const std::string sample = ReadTextFile(SiblingPath("jobs\\sample.ps"));
    const std::string first = WriteJob("first", "%!PS\n" + Spin(1500) + sample);
    const std::string second =
        WriteJob("second", "%!PS\n" + Spin(1500) +
                               "/Helvetica findfont 24 scalefont setfont 72 700 moveto "
                               "(Second job Bladderwrack) show showpage\n");
    Process one = StartVellum("\"" + first + "\"");
    Process two = StartVellum("\"" + second + "\"");
    const HWND dialogOne = WaitForFileDialog(one);
    const HWND dialogTwo = WaitForFileDialog(two);
    SubmitFileDialog(dialogOne, pdfs.File("same.pdf"));
    SubmitFileDialog(dialogTwo, pdfs.File("same.pdf"));
    ConfirmOverwriteIfAsked(two);
    EXPECT_EQ(one.WaitExitCode(kConvertTimeout), 0u) << DescribeWindows(one);
    EXPECT_EQ(two.WaitExitCode(kConvertTimeout), 0u) << DescribeWindows(two);

    EXPECT_EQ(LeftInPdfFolder(), std::vector<std::string>{"same.pdf"});
    const std::string info =
        RunUnixScript("pdfinfo \"$1\"\necho \"exit=$?\"\n", {pdfs.File("same.pdf")});
    EXPECT_NE(info.find("exit=0"), std::string::npos) << info;
    EXPECT_EQ(info.find("rror"), std::string::npos) << "pdfinfo reads it cleanly:\n" << info;
    const std::string text = PdfText(pdfs.File("same.pdf"));
    const bool isFirst = text.find("Quillwort") != std::string::npos;
    const bool isSecond = text.find("Bladderwrack") != std::string::npos;
    EXPECT_NE(isFirst, isSecond) << "one job's pages only:\n" << text;
    EXPECT_NE(info.find(isFirst ? "Pages:           3" : "Pages:           1"), std::string::npos)
        << info;
}

TEST_F(ConvertTest, AutomaticSavingTwiceGivesTwoPdfsAndKeepsTheFirstByteForByte) {
    VellumRegistry::Set("saveMode", "auto");
    VellumRegistry::Set("autoDir", pdfs.Path());
    const Environment env{{"REDMON_DOCNAME", "Microsoft Word - letter.docx"}};
    Process first = StartVellum(JobArgument(), env);
    EXPECT_EQ(WaitForSilentExit(first, kConvertTimeout), 0u);
    const std::string before = ReadTextFile(pdfs.File("letter.pdf"));
    Process second = StartVellum(JobArgument(), env);
    EXPECT_EQ(WaitForSilentExit(second, kConvertTimeout), 0u);
    EXPECT_EQ(LeftInPdfFolder(), (std::vector<std::string>{"letter (2).pdf", "letter.pdf"}));
    EXPECT_EQ(ReadTextFile(pdfs.File("letter.pdf")), before);
    EXPECT_NE(PdfText(pdfs.File("letter (2).pdf")).find("Quillwort"), std::string::npos);
}

TEST_F(ConvertTest, OpenPdfStartsTheProgramRegisteredForPdfWithThePdfsPath) {
    // The program registered for .pdf copies what it was given, to show that it ran and on what.
    const std::string copy = pdfs.File("opened copy.bin");
    const std::string command = "C:\\windows\\system32\\cmd.exe /c copy \"%1\" \"" + copy + "\"";
    RegSetKeyValueW(HKEY_CLASSES_ROOT, L".pdf", nullptr, REG_SZ, L"VellumTest.Pdf", 30);
    const std::wstring wide = win32::Widen(command);
    RegSetKeyValueW(HKEY_CLASSES_ROOT, L"VellumTest.Pdf\\shell\\open\\command", nullptr, REG_SZ,
                    wide.c_str(), static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
    VellumRegistry::Set("openPdf", "1");
    Process vellum = StartVellum(JobArgument());
    AnswerSaveAs(vellum, pdfs.File("shown.pdf"));
    EXPECT_EQ(WaitForSilentExit(vellum, kConvertTimeout), 0u);
    WaitUntil(vellum, "the copy made by the PDF program", [&] { return FileExists(copy); });
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L"VellumTest.Pdf");
    RegDeleteKeyW(HKEY_CLASSES_ROOT, L"VellumTest.Pdf");
    EXPECT_EQ(ReadTextFile(copy), ReadTextFile(pdfs.File("shown.pdf")));
}

TEST_F(ConvertTest, ScreenQualityBringsA600PpiPictureDownToScreenResolution) {
    // A grey ramp of 1200 x 1200 samples on two inches square: 600 pixels per inch.
    const std::string job =
        WriteJob("picture",
                 "%!PS\n/row 1200 string def 0 1 1199 { row exch dup 5 idiv put } for\n"
                 "72 400 translate 144 144 scale\n"
                 "1200 1200 8 [1200 0 0 -1200 0 1200] { row } image showpage\n");
    VellumRegistry::Set("saveMode", "auto");
    for (const auto& [quality, ppi] :
         std::vector<std::pair<std::string, std::string>>{{"default", "600"}, {"screen", "72"}}) {
        VellumRegistry::Set("pdfQuality", quality);
        Process vellum = StartVellum("\"" + job + "\"", {{"REDMON_DOCNAME", quality}});
        EXPECT_EQ(WaitForSilentExit(vellum, kConvertTimeout), 0u);
        const std::string listed =
            RunUnixScript("pdfimages -list \"$1\" | awk 'NR > 2 { print $13 \"x\" $14 }'\n",
                          {pdfs.File(quality + ".pdf")});
        EXPECT_EQ(listed, ppi + "x" + ppi + "\n") << quality;
    }
}

TEST_F(ConvertTest, PdfA2bDeclaresItselfHasItsOutputIntentAndEmbedsEveryFont) {
    // Ghostscript's sRGB profile beside a lib folder of its own, outside every folder
    // Ghostscript may read by itself: only the read permission Vellum gives makes it readable.
    // On Z:, as Unix paths with no "c:" in them: the Unix gs splits its lists at colons.
    const std::string gs = SiblingPath("gs install " + std::to_string(GetCurrentProcessId()));
    RunUnixScript(
        "mkdir -p \"$1/lib\" \"$1/iccprofiles\" && cp \"$(ls "
        "/usr/share/ghostscript/*/iccprofiles/srgb.icc | head -n 1)\" \"$1/iccprofiles\"\n",
        {gs});
    struct Remove {
        std::string folder;
        ~Remove() { RunUnixScript("rm -rf \"$1\"\n", {folder}); }
    } remove{gs};
    ASSERT_TRUE(FileExists(gs + "\\iccprofiles\\srgb.icc"));
    VellumRegistry::Set("gsLib", gs + "\\lib");
    VellumRegistry::Set("pdfA", "2");
    Process vellum = StartVellum(JobArgument());
    AnswerSaveAs(vellum, pdfs.File("archive.pdf"));
    EXPECT_EQ(WaitForSilentExit(vellum, kConvertTimeout), 0u);
    const std::string checked = RunUnixScript(
        "pdfinfo -meta \"$1\" | grep -o \"pdfaid:part='2' pdfaid:conformance='B'\"\n"
        "grep -q -a '/OutputIntents' \"$1\" && echo 'output intent'\n"
        "pdffonts \"$1\" | awk 'NR > 2 { print $(NF - 4) }' | sort -u\n",
        {pdfs.File("archive.pdf")});
    EXPECT_EQ(checked, "pdfaid:part='2' pdfaid:conformance='B'\noutput intent\nyes\n");
}

TEST_F(ConvertTest, FullDiskIsNamedAndTheExistingPdfStays) {
    TempFolder small{"small disk"};
    const std::string mounted = RunUnixScript(
        "mount -t tmpfs -o size=16k vellum-small-disk \"$1\" 2>/dev/null && echo mounted\n"
        "exit 0\n",
        {small.Path()});
    if (mounted.find("mounted") == std::string::npos)
        GTEST_SKIP() << "no tmpfs can be mounted here (not root?)";
    struct Unmount {
        std::string path;
        ~Unmount() { RunUnixScript("umount \"$1\"\n", {path}); }
    } unmount{small.Path()};
    WriteTextFile(small.File("report.pdf"), "%PDF-1.4 the old one\n%%EOF\n");
    std::string pages = ReadTextFile(SiblingPath("jobs\\sample.ps"));
    std::string job = "%!PS\n";
    for (int i = 0; i < 10; ++i)
        job += pages;  // some 30 pages: some 26 KB of PDF, more than the 16 KB disk holds
    const std::string jobPath = WriteJob("big", job);

    Process vellum = StartVellum("\"" + jobPath + "\"");
    SubmitFileDialog(WaitForFileDialog(vellum), small.File("report.pdf"));
    PressDialogButton(WaitForMessageBox(vellum).hwnd, kReplace);
    const MessageBoxInfo box = WaitForMessageBox(vellum, kConvertTimeout);
    EXPECT_EQ(box.text,
              "The PDF " + small.File("report.pdf") +
                  " was not made.\r\n"
                  "The disk is full: there was no room left for the PDF or for Ghostscript's "
                  "temporary files. Make room on the disk and print again.\r\n"
                  "Ghostscript could not convert the print job (exit code 1).\r\n"
                  "The existing file was not changed.");
    SaveScreenshot(box.hwnd, "disk-full-message");
    CloseMessageBox(box.hwnd);
    EXPECT_TRUE(vellum.WaitExit(10s));
    EXPECT_EQ(ReadTextFile(small.File("report.pdf")), "%PDF-1.4 the old one\n%%EOF\n");
}

TEST_F(ConvertTest, DiskThatFillsWhileReplacingAPdfLeavesTheOldOneByteForByte) {
    // The PDF's size first, made on a roomy disk.
    std::string job = "%!PS\n";
    for (int i = 0; i < 10; ++i) job += ReadTextFile(SiblingPath("jobs\\sample.ps"));
    const std::string jobPath = WriteJob("filling", job);
    Process sizing = StartVellum("\"" + jobPath + "\"");
    AnswerSaveAs(sizing, pdfs.File("sizing.pdf"));
    ASSERT_EQ(WaitForSilentExit(sizing, kConvertTimeout), 0u);
    const size_t pdfSize = ReadTextFile(pdfs.File("sizing.pdf")).size();

    TempFolder small{"filling disk"};
    // A tmpfs gives room in 4 KB pages: one page less than the PDF needs fails its last write,
    // the one Ghostscript makes when it closes the file.
    const std::string mounted = RunUnixScript(
        "mount -t tmpfs -o size=1m vellum-filling-disk \"$1\" 2>/dev/null || exit 0\n"
        "printf '%%PDF-1.4 the old one\\n%%%%EOF\\n' > \"$1/report.pdf\"\n"
        "avail=$(df --output=avail -B4096 \"$1\" | tail -1)\n"
        "fallocate -l $(( (avail - ($2 + 4095) / 4096 + 1) * 4096 )) \"$1/filler\" && echo "
        "mounted\n",
        {small.Path(), std::to_string(pdfSize)});
    if (mounted.find("mounted") == std::string::npos)
        GTEST_SKIP() << "no tmpfs can be mounted here (mounting needs root): " << mounted;
    struct Unmount {
        std::string path;
        ~Unmount() { RunUnixScript("umount \"$1\"\n", {path}); }
    } unmount{small.Path()};
    const std::string old = ReadTextFile(small.File("report.pdf"));

    Process vellum = StartVellum("\"" + jobPath + "\"");
    SubmitFileDialog(WaitForFileDialog(vellum), small.File("report.pdf"));
    PressDialogButton(WaitForMessageBox(vellum).hwnd, kReplace);
    const MessageBoxInfo box = WaitForMessageBox(vellum, kConvertTimeout);
    std::printf("Full disk while replacing a %zu-byte PDF:\n%s\n", pdfSize, box.text.c_str());
    EXPECT_NE(box.text.find("The disk is full"), std::string::npos) << box.text;
    EXPECT_NE(box.text.find("The existing file was not changed."), std::string::npos) << box.text;
    CloseMessageBox(box.hwnd);
    EXPECT_EQ(vellum.WaitExitCode(10s), 1u);
    EXPECT_EQ(ReadTextFile(small.File("report.pdf")), old);
    EXPECT_EQ(RunUnixScript("ls \"$1\"\n", {small.Path()}), "filler\nreport.pdf\n");
}

TEST_F(ConvertTest, PdfOpenInAnotherProgramIsReplacedOnRetryOnceItIsClosed) {
    WriteTextFile(pdfs.File("report.pdf"), "%PDF-1.4 the old one\n%%EOF\n");
    // A viewer's open: reading, sharing reads only.
    HANDLE viewer = CreateFileW(win32::Widen(pdfs.File("report.pdf")).c_str(), GENERIC_READ,
                                FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(viewer, INVALID_HANDLE_VALUE);
    Process vellum = StartVellum(JobArgument());
    SubmitFileDialog(WaitForFileDialog(vellum), pdfs.File("report.pdf"));
    const HWND replace = WaitForMessageBox(vellum).hwnd;
    PressDialogButton(replace, kReplace);
    WaitForWindowGone(vellum, replace, "the question whether to replace it");
    const Shown inUse{"PDF in use",
                      pdfs.File("report.pdf") +
                          "\r\nis open in another program. Close it there, then choose Retry.",
                      Icon::Warning,
                      {"&Retry", "Cancel"}};
    MessageBoxInfo box = WaitForMessageBox(vellum, kConvertTimeout);
    EXPECT_EQ(Seen(box), inUse);
    SaveScreenshot(box.hwnd, "pdf-in-use-message");
    PressDialogButton(box.hwnd, IDRETRY);  // still open: asked again
    WaitForWindowGone(vellum, box.hwnd, "the first question");
    box = WaitForMessageBox(vellum, 10s);
    EXPECT_EQ(Seen(box), inUse);
    CloseHandle(viewer);
    PressDialogButton(box.hwnd, IDRETRY);
    EXPECT_EQ(WaitForSilentExit(vellum, kConvertTimeout), 0u);
    EXPECT_NE(PdfText(pdfs.File("report.pdf")).find("Quillwort"), std::string::npos);
    EXPECT_EQ(LeftInPdfFolder(), std::vector<std::string>{"report.pdf"});
}

}  // namespace vellum::e2e

namespace vellum::e2e {

// Add pages: the old PDF's pages, then the job's, in one PDF that replaces it only when whole.
TEST_F(ConvertTest, AddPagesPutsTheJobAfterTheExistingPagesOrLeavesTheFileAsItWas) {
    const auto print = [&](const std::string& job, const std::string& pdf, int button) {
        Process vellum = StartVellum("\"" + job + "\"");
        SubmitFileDialog(WaitForFileDialog(vellum), pdf);
        PressDialogButton(WaitForMessageBox(vellum).hwnd, button);
        return vellum;
    };
    const std::string page = "/Helvetica findfont 20 scalefont setfont 72 700 moveto";
    const std::string first = WriteJob(
        "first", "%!PS\n" + page + " (Alpha) show showpage\n" + page + " (Beta) show showpage\n");
    const std::string second =
        WriteJob("second", "%!PS-Adobe-3.0\n%%Title: (Old \\(title\\))\n%%Creator: Writer 7\n" +
                               page + " (Gamma) show showpage\n");
    Process made = StartVellum("\"" + first + "\"");
    AnswerSaveAs(made, pdfs.File("book.pdf"));
    ASSERT_EQ(WaitForSilentExit(made, kConvertTimeout), 0u);
    EXPECT_EQ(WaitForSilentExit(print(second, pdfs.File("book.pdf"), kAddPages), kConvertTimeout),
              0u);
    EXPECT_EQ(PdfText(pdfs.File("book.pdf")), "Alpha\n\n\fBeta\n\n\fGamma\n\n\f");
    const std::string info = RunUnixScript("pdfinfo \"$1\"\n", {pdfs.File("book.pdf")});
    std::printf("%s", info.c_str());
    EXPECT_NE(info.find("Pages:           3"), std::string::npos) << info;
    EXPECT_NE(info.find("Creator:         Writer 7"), std::string::npos) << info;

    // A job Ghostscript fails on leaves the PDF byte for byte.
    const std::string before = ReadTextFile(pdfs.File("book.pdf"));
    Process failing = print(WriteJob("failing", "%!PS\n" + page + " (Delta) show showpage\nfoo\n"),
                            pdfs.File("book.pdf"), kAddPages);
    const MessageBoxInfo failed = WaitForMessageBox(failing, kConvertTimeout);
    EXPECT_NE(failed.text.find("The existing file was not changed."), std::string::npos)
        << failed.text;
    CloseMessageBox(failed.hwnd);
    EXPECT_EQ(failing.WaitExitCode(10s), 1u);
    EXPECT_EQ(ReadTextFile(pdfs.File("book.pdf")), before);

    // An encrypted PDF is said to be one, kept, and Save As asks again.
    RunUnixScript(
        "gs -q -dBATCH -dNOPAUSE -sDEVICE=pdfwrite -sOwnerPassword=o -sUserPassword=u "
        "-sOutputFile=\"$1\" \"$2\"\n",
        {pdfs.File("locked.pdf"), second});
    const std::string locked = ReadTextFile(pdfs.File("locked.pdf"));
    Process refused = print(second, pdfs.File("locked.pdf"), kAddPages);
    const MessageBoxInfo said = WaitForMessageBox(refused);
    EXPECT_EQ(said.text, "The pages could not be added to " + pdfs.File("locked.pdf") +
                             ": it is encrypted.\r\nThe file was not changed.");
    CloseMessageBox(said.hwnd);
    CancelDialog(WaitForFileDialog(refused));
    EXPECT_EQ(refused.WaitExitCode(10s), 0u);
    EXPECT_EQ(ReadTextFile(pdfs.File("locked.pdf")), locked);
}

// Saved without asking with autoExisting=append, two jobs at once both end up in one PDF, and
// every PDF carries its properties verbatim.
TEST_F(ConvertTest, AutomaticCollectingTakesTurnsAndPropertiesArriveVerbatim) {
    VellumRegistry::Set("saveMode", "auto");
    VellumRegistry::Set("autoDir", pdfs.Path());
    VellumRegistry::Set("autoExisting", "append");
    VellumRegistry::Set("autoName", "Collected");
    const std::string page = "/Helvetica findfont 20 scalefont setfont 72 700 moveto";
    const std::string title = ") /Author (x \xD0\x9E\xD1\x82\xD1\x87\xD1\x91\xD1\x82 a\\b";
    const Environment named{{"REDMON_DOCNAME", title}};
    Process one = StartVellum(
        "\"" + WriteJob("one", "%!PS\n" + Spin(1500) + page + " (One) show showpage\n") + "\"",
        named);
    Process two = StartVellum(
        "\"" + WriteJob("two", "%!PS\n" + page + " (Two) show showpage\n") + "\"", named);
    EXPECT_EQ(WaitForSilentExit(one, kConvertTimeout), 0u);
    EXPECT_EQ(WaitForSilentExit(two, kConvertTimeout), 0u);
    EXPECT_EQ(LeftInPdfFolder(), std::vector<std::string>{"Collected.pdf"});
    const std::string text = PdfText(pdfs.File("Collected.pdf"));
    EXPECT_TRUE(text == "One\n\n\fTwo\n\n\f" || text == "Two\n\n\fOne\n\n\f") << text;
    const std::string info = RunUnixScript("pdfinfo \"$1\"\n", {pdfs.File("Collected.pdf")});
    std::printf("%s", info.c_str());
    EXPECT_NE(info.find("Title:           " + title + "\n"), std::string::npos) << info;
    EXPECT_EQ(info.find("Author:          x"), std::string::npos) << info;
}

}  // namespace vellum::e2e
