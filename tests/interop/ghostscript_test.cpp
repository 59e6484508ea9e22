// Conversions through vellum.exe with the Ghostscript Windows users install: gswin64c.exe built
// from Ghostscript's source the Windows way, installed and registered in the prefix as its
// installer does it (scripts/build-ghostscript, ghostscript_interop_test.sh). Vellum's settings
// are the ones setup finds from that registration.

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

#include "convert/progress_ids.h"
#include "e2e_support.h"
#include "toolkit/win32/strings.h"

namespace vellum::e2e {

namespace {

class RealGhostscript : public ::testing::Test {
protected:
    void SetUp() override {
        // What setup stores from Ghostscript's registration, as a silent install does.
        VellumRegistry::Reset();
        ASSERT_EQ(Process::Start(SiblingPath("vellum-setup-helper.exe"), "settings").WaitExitCode(),
                  0u);
        VellumRegistry::Set("defDir", work.Path());
        VellumRegistry::Set("sendMail", "0");
    }
    void TearDown() override { VellumRegistry::Reset(); }

    std::string Job(const std::string& name, const std::string& postScript = "") {
        const std::string path = work.File(name);
        if (postScript.empty())
            CopyFileTo(SiblingPath("jobs\\sample.ps"), path);
        else
            WriteTextFile(path, postScript);
        return path;
    }
    // Converts `job` to `pdf` and returns the message Vellum ended with ("" when it ended
    // silently with 0).
    std::string Convert(const std::string& job, const std::string& pdf,
                        const Environment& env = {}) {
        Process vellum = StartVellum("\"" + job + "\"", env);
        AnswerSaveAs(vellum, pdf);
        WaitUntil(
            vellum, "the conversion's end",
            [&] { return !vellum.Running() || FindMessageBox(vellum).has_value(); },
            kConvertTimeout);
        if (!vellum.Running()) return vellum.ExitCode() == 0 ? "" : "exit code not 0";
        const MessageBoxInfo box = WaitForMessageBox(vellum);
        CloseMessageBox(box.hwnd);
        return box.text;
    }

    TempFolder work{"vellum gs"};
};

const std::regex kSampleWords("[^]*Vellum sample page 1 of 3[^]*Quillwort[^]*Samphire[^]*");

}  // namespace

TEST_F(RealGhostscript, SetupFindsItFromItsRegistration) {
    const std::string folder = std::getenv("VELLUM_GS_INSTALLED");  // set by the suite's script
    std::string exe, lib;
    EXPECT_TRUE(VellumRegistry::Read("SOFTWARE\\Vellum", "gsExe", exe) &&
                exe == folder + "\\bin\\gswin64c.exe")
        << exe;
    EXPECT_TRUE(VellumRegistry::Read("SOFTWARE\\Vellum", "gsLib", lib) && lib == folder + "\\lib")
        << lib;
}

// One row per name: the job's, the folder's and the PDF's, each with the characters Windows
// allows and Ghostscript's path handling may not.
struct Names {
    const char* what;
    const char* job;
    const char* folder;
    const char* pdf;
};
const Names kNames[] = {
    {"plain", "job.ps", "pdfs", "plain.pdf"},
    {"punctuation", "job & 'one'; two.ps", "a & b; 'c'", "report & 'x'; y.pdf"},
    {"Cyrillic", "\xD0\xB7\xD0\xB0\xD0\xB4\xD0\xB0\xD1\x87\xD0\xB0.ps",
     "\xD0\x9E\xD1\x82\xD1\x87\xD1\x91\xD1\x82\xD1\x8B",
     "\xD0\xBE\xD1\x82\xD1\x87\xD1\x91\xD1\x82.pdf"},
    {"CJK", "\xE4\xBD\x9C\xE4\xB8\x9A.ps", "\xE6\x8A\xA5\xE5\x91\x8A \xE6\x96\x87\xE4\xBB\xB6",
     "\xE6\x8A\xA5\xE5\x91\x8A.pdf"},
    {"emoji", "job \xF0\x9F\x8E\x89.ps", "Party \xF0\x9F\x8E\x89", "Party \xF0\x9F\x8E\x89.pdf"},
    {"Devanagari", "\xE0\xA4\x95\xE0\xA4\xBE\xE0\xA4\xAE.ps",
     "\xE0\xA4\xB0\xE0\xA4\xBF\xE0\xA4\xAA\xE0\xA5\x8B\xE0\xA4\xB0\xE0\xA5\x8D\xE0\xA4\x9F",
     "\xE0\xA4\xB0\xE0\xA4\xBF\xE0\xA4\xAA\xE0\xA5\x8B\xE0\xA4\xB0\xE0\xA5\x8D\xE0\xA4\x9F.pdf"},
    {"percent", "job 100%.ps", "100% done", "100% sure.pdf"},
    {"250 characters", "job.ps", "", ""},  // folder and name filled to a 250-character path
};

TEST_F(RealGhostscript, NamesOfEveryKindMakeThePdfWithTheJobsText) {
    for (const Names& names : kNames) {
        SCOPED_TRACE(names.what);
        std::string folder = work.File(names.folder);
        std::string pdf = names.pdf;
        if (folder == work.File("")) {
            folder = work.File(std::string(120, 'f'));
            pdf = std::string(250 - folder.size() - 1 - 4, 'n') + ".pdf";
        }
        ASSERT_TRUE(CreateDirectoryW(win32::Widen(folder).c_str(), nullptr));
        const std::string path = folder + "\\" + pdf;
        EXPECT_EQ(Convert(Job(names.job), path), "");
        ASSERT_TRUE(FileExists(path)) << path;
        EXPECT_TRUE(std::regex_match(PdfText(path), kSampleWords));
        EXPECT_EQ(FilesIn(folder), std::vector<std::string>{pdf}) << "nothing else left";
    }
}

// The document's properties reach the PDF verbatim, and under PDF/A-2b its XMP says the same.
TEST_F(RealGhostscript, PropertiesAreTheDocumentsAndPdfAsXmpAgrees) {
    const std::string title = "\xD0\x9E\xD1\x82\xD1\x87\xD1\x91\xD1\x82 (1) a\\b";
    for (const char* pdfA : {"0", "2"}) {
        SCOPED_TRACE(pdfA);
        VellumRegistry::Set("pdfA", pdfA);
        const std::string pdf = work.File(std::string("properties ") + pdfA + ".pdf");
        EXPECT_EQ(Convert(Job("job.ps"), pdf, {{"REDMON_DOCNAME", title}}), "");
        const std::string info = RunUnixScript(
            "pdfinfo \"$1\" | sed -n 's/^Title: *//p'\n"
            "pdfinfo -meta \"$1\" | tr -d '\\n' | grep -o '<dc:title>.*</dc:title>' | "
            "sed 's/<[^>]*>//g'\n",
            {pdf});
        EXPECT_EQ(info.substr(0, info.find('\n')), title) << info;
        if (pdfA == std::string("2")) {
            EXPECT_EQ(info, title + "\n" + title + "\n") << info;
        }
    }
}

TEST_F(RealGhostscript, UserProfileInHindiPutsJobAndTemporaryFolderThere) {
    // TEMP as a user named so has it: the job RedRun spools and Ghostscript's own folder.
    const std::string temp = work.File("\xE0\xA4\xB0\xE0\xA4\xB5\xE0\xA4\xBF Temp");
    ASSERT_TRUE(CreateDirectoryW(win32::Widen(temp).c_str(), nullptr));
    const std::string job = temp + "\\redabc123";
    CopyFileTo(SiblingPath("jobs\\sample.ps"), job);
    const std::string pdf = work.File("hindi.pdf");
    EXPECT_EQ(Convert(job, pdf, {{"TEMP", temp}, {"TMP", temp}}), "");
    EXPECT_TRUE(std::regex_match(PdfText(pdf), kSampleWords));
    for (const std::string& name : FilesIn(temp))  // the job, and the clean-up's marks
        EXPECT_TRUE(name == "redabc123" || name.rfind("vellum-cleaned-", 0) == 0) << name;
}

TEST_F(RealGhostscript, TemporaryFolderOfItsOwnIsUsedAndRemoved) {
    // pdfwrite opens its scratch files at once; the job then spins for a while.
    wchar_t buffer[MAX_PATH + 1];
    const std::string temp = win32::Narrow(buffer, GetTempPathW(MAX_PATH + 1, buffer));
    const auto runFiles = [&] {
        std::vector<std::string> found;
        for (const std::string& folder : FilesIn(temp.substr(0, temp.size() - 1)))
            if (folder.rfind("vellum-", 0) == 0)
                for (const std::string& name : FilesIn(temp + folder))
                    found.push_back(folder + "\\" + name);
        return found;
    };
    const std::vector<std::string> before = runFiles();
    const std::string job =
        Job("spin.ps", "%!PS\n/t usertime def { usertime t sub 3000 gt { exit } if } loop\n" +
                           ReadTextFile(SiblingPath("jobs\\sample.ps")));
    Process vellum = StartVellum("\"" + job + "\"");
    AnswerSaveAs(vellum, work.File("spin.pdf"));
    WaitUntil(
        vellum, "Ghostscript's files in a folder of the run's own",
        [&] { return runFiles() != before; }, 15s);
    EXPECT_EQ(WaitForSilentExit(vellum, kConvertTimeout), 0u);
    EXPECT_TRUE(std::regex_match(PdfText(work.File("spin.pdf")), kSampleWords));
    EXPECT_EQ(runFiles(), before) << "the folder is gone";
}

TEST_F(RealGhostscript, ErrorsAreReportedWithGhostscriptsWordsAndExitCode) {
    const std::string folder = work.Path();
    std::string unix = folder;
    for (char& c : unix) c = c == '\\' ? '/' : c;
    const struct {
        const char* what;
        std::string postScript;
        const char* error;
    } rows[] = {
        {"PostScript error", "%!PS\nvellumNoSuchOperator\n", "/undefined in vellumNoSuchOperator"},
        {"SAFER: reading", "%!PS\n(C:/Windows/win.ini) (r) file\n",
         "/invalidfileaccess in --file--"},
        {"SAFER: writing beside the PDF", "%!PS\n(" + unix + "/beside.txt) (w) file\n",
         "/invalidfileaccess in --file--"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const std::string text = Convert(Job("error.ps", row.postScript), work.File("error.pdf"));
        const std::string error = "Error: " + std::string(row.error);
        EXPECT_EQ(text.rfind("The PDF " + work.File("error.pdf") + " was not made.\r\n" + error +
                                 "\r\nGhostscript could not convert the print job (exit code "
                                 "1).\r\n\r\n" +
                                 error,
                             0),
                  0u)
            << text;
        EXPECT_NE(text.find("Unrecoverable error, exit code 1"), std::string::npos) << text;
        EXPECT_FALSE(FileExists(work.File("error.pdf")));
    }
    EXPECT_FALSE(FileExists(work.File("beside.txt")));
}

TEST_F(RealGhostscript, CancelAndAKilledVellumEndGswin64c) {
    const std::vector<DWORD> before = ProcessesNamed("gswin64c.exe");
    const std::string job = Job("forever.ps", "%!PS\n{} loop\n");
    {
        Process vellum = StartVellum("\"" + job + "\"");
        AnswerSaveAs(vellum, work.File("endless.pdf"));
        const HWND progress = WaitForWindow(vellum, convert::ids::kProgressTitle, 15s);
        EXPECT_NE(ProcessesNamed("gswin64c.exe"), before) << "Ghostscript runs";
        Click(Control(progress, convert::ids::kProgressCancel));
        const MessageBoxInfo box = WaitForMessageBox(vellum, 15s);
        EXPECT_EQ(box.text, "The PDF was not made: the conversion was cancelled.");
        EXPECT_EQ(ProcessesNamed("gswin64c.exe"), before) << "gone when the message shows";
        CloseMessageBox(box.hwnd);
    }
    Process vellum = StartVellum("\"" + job + "\"");
    AnswerSaveAs(vellum, work.File("orphan.pdf"));
    WaitUntil(
        vellum, "Ghostscript to run", [&] { return ProcessesNamed("gswin64c.exe") != before; },
        15s);
    vellum.Kill();
    const ULONGLONG killed = GetTickCount64();
    while (ProcessesNamed("gswin64c.exe") != before && GetTickCount64() - killed < 5000) Sleep(50);
    EXPECT_EQ(ProcessesNamed("gswin64c.exe"), before)
        << "still running 5 s after Vellum was killed";
}

}  // namespace vellum::e2e
