// The print chain with the components users actually have: the real RedMon (hosted, as Wine's
// spooler needs) and the real RedRun, both built from RedMon's own source. The port is added
// through the monitor as RedMon's Add Port dialog adds it, bound by Vellum's own Save with
// Vellum installed under "C:\Program Files\Vellum", and a document printed from a Windows
// program must come out as the PDF the user names, with every word.

#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "config/config_ids.h"
#include "e2e_support.h"
#include "toolkit/win32/strings.h"

namespace vellum::e2e {

namespace ids = config::ids;

namespace {

constexpr const char* kPrinter = "Vellum PDF (RedMon)";
constexpr const char* kPort = "RPT9:";
std::string PortValue(const std::string& name) {
    std::string value;
    return VellumRegistry::Read(RedMonPortKey(kPort), name, value) ? value : "<missing>";
}

void DeletePrinterNamed(const std::string& name) {
    std::wstring wide = win32::Widen(name);
    HANDLE printer = nullptr;
    PRINTER_DEFAULTSW access{nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (!OpenPrinterW(wide.data(), &printer, &access)) return;
    DeletePrinter(printer);
    ClosePrinter(printer);
}

void DeletePort() {
    const std::wstring key = win32::Widen(RedMonPortKey(kPort));
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, key.c_str());
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, key.c_str());
}

bool ShowsDialog(const Process& process) {
    for (const TopWindow& window : TopWindows(process))
        if (window.className == "#32770") return true;
    return false;
}

class RealRedMon : public ::testing::Test {
protected:
    void SetUp() override {
        WriteCompleteSettings(pdfs.Path());
        DeletePrinterNamed(kPrinter);
        DeletePort();
        SetupPrinter("--monitor-dll \"" + SiblingPath("redmon\\redmon-host.dll") +
                     "\" --through-monitor --port " + kPort + " --printer \"" + kPrinter +
                     "\" --command \"" + redrun + "\" --log-file \"" + log + "\"");
    }
    void TearDown() override {
        DeletePrinterNamed(kPrinter);
        DeletePort();
        // The stand-in monitor again, with the port and printer the other tests expect.
        SetupPrinter("");
        VellumRegistry::Reset();
    }

    const std::string redrun = SiblingPath("redmon\\redrun.exe");
    InstalledVellum installed;  // under "C:\Program Files\Vellum"
    TempFolder work{"vellum interop work"};
    const std::string log = work.File("redmon.log");  // RedMon's own, of the last job
    TempFolder pdfs{"vellum interop pdfs"};
};

}  // namespace

TEST_F(RealRedMon, PrintedDocumentBecomesThePdfTheUserNames) {
    // RedMon's SetConfig wrote the whole port, as its dialog does.
    ASSERT_EQ(PortValue("Command"), redrun);
    std::string description;
    ASSERT_TRUE(VellumRegistry::Read(RedMonPortKey(kPort), "Description", description));

    {
        Process vellum = Process::Start(installed.Exe(), "-config");
        const HWND window = WaitForWindow(vellum, "Configure Vellum");
        SetText(Control(window, ids::kRrExe), redrun);
        SelectComboItem(Control(window, ids::kPorts), kPort);
        Click(Control(window, ids::kSave));
        ASSERT_TRUE(vellum.WaitExit(10s)) << DescribeWindows(vellum);
    }
    const std::string binding = "the port's Command " + PortValue("Command") + ", Arguments " +
                                PortValue("Arguments") + "; RedMon's log:\n";
    ASSERT_EQ(PortValue("Command"), redrun) << binding;

    constexpr int kLines = 150;  // several pages
    const std::string text = work.File("document.txt");
    WriteNumberedDocument(text, kLines);

    const std::vector<DWORD> running = ProcessesNamed("vellum.exe");
    Process printer = Process::Start(SiblingPath("printtext.exe"),
                                     "\"" + std::string(kPrinter) + "\" \"" + text + "\"");
    Process vellum = WaitForNewProcess(printer, "vellum.exe", running, kConvertTimeout);
    const std::string pdf = pdfs.File("printed document.pdf");
    AnswerSaveAs(vellum, pdf, kConvertTimeout);
    // A job that does not convert ends in Vellum's message, which says why.
    WaitUntil(
        vellum, "the conversion's end", [&] { return !vellum.Running() || ShowsDialog(vellum); },
        kConvertTimeout);
    if (vellum.Running())
        FAIL() << "Vellum showed \"" << WaitForMessageBox(vellum).text << "\" with " << binding
               << ReadTextFile(log);
    EXPECT_EQ(vellum.ExitCode(), 0u) << binding << ReadTextFile(log);
    EXPECT_EQ(printer.WaitExitCode(60s), 0u) << "printtext failed";

    ASSERT_TRUE(FileExists(pdf)) << "no PDF with " << binding << ReadTextFile(log);
    const std::string pdfText = PdfText(pdf);
    EXPECT_EQ(MissingFromNumberedDocument(pdfText, kLines, 2), "") << pdfText;
}

}  // namespace vellum::e2e
