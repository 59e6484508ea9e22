// Setup's portable core: Ghostscript found as its installer records it, the first settings, and
// the port and printer made and removed through the spooler's contract.

#include <gtest/gtest.h>

#include "fakes/fake_file_system.h"
#include "fakes/fake_setup.h"
#include "setup/first_settings.h"
#include "settings/ghostscript_search.h"
#include "setup/helper_commands.h"
#include "setup/printer_setup.h"

namespace vellum::setup {

using registry::StringKind;
using settings::CompareVersions;
using settings::FindGhostscript;

namespace {

constexpr const char* kGpl = "SOFTWARE\\GPL Ghostscript";
constexpr const char* kArtifex = "SOFTWARE\\Artifex Ghostscript";

// A Ghostscript installation as its installer lays it out and records it.
void Install(FakeMachineRegistry& registry, FakeFileSystem& files, const std::string& key,
             const std::string& version, bool withFonts = true) {
    const std::string root = "C:\\Program Files\\gs\\gs" + version;
    registry.Set(key + "\\" + version, "GS_DLL", root + "\\bin\\gsdll64.dll");
    registry.Set(key + "\\" + version, "GS_LIB",
                 root + "\\bin;" + root + "\\lib;" + root + "\\fonts");
    files.files.insert(root + "\\bin\\gswin64c.exe");
    files.folders.insert(root + "\\bin");
    files.folders.insert(root + "\\lib");
    if (withFonts) files.folders.insert(root + "\\fonts");
}

// What the search found, in one line: "version exe | lib | fonts", or "none".
std::string Found(FakeMachineRegistry& registry, FakeFileSystem& files) {
    const auto found = FindGhostscript(registry, files);
    return found ? found->version + " " + found->exe + " | " + found->lib + " | " + found->fonts
                 : "none";
}

TEST(GhostscriptSearch, TakesTheHighestVersionOfEitherKeyThatHasItsProgram) {
    FakeMachineRegistry registry;
    FakeFileSystem files;
    Install(registry, files, kGpl, "9.56.1");
    Install(registry, files, kArtifex, "10.02.1");
    Install(registry, files, kGpl, "9.9");  // numerically below 9.56.1
    const std::string root = "C:\\Program Files\\gs\\gs10.02.1\\";
    EXPECT_EQ(Found(registry, files),
              "10.02.1 " + root + "bin\\gswin64c.exe | " + root + "lib | " + root + "fonts");

    // An uninstalled version whose key was left behind gives way to the next one.
    files.files.erase("C:\\Program Files\\gs\\gs10.02.1\\bin\\gswin64c.exe");
    EXPECT_EQ(Found(registry, files).substr(0, 7), "9.56.1 ");
}

TEST(GhostscriptSearch, FoldersComeFromTheInstallationAndOnlyWhereTheyExist) {
    FakeMachineRegistry registry;
    FakeFileSystem files;
    Install(registry, files, kGpl, "10.00.0", /*withFonts=*/false);
    // No GS_LIB: the folders beside bin are used.
    registry.values.erase({std::string(kGpl) + "\\10.00.0", "GS_LIB"});
    const std::string exe = "10.00.0 C:\\Program Files\\gs\\gs10.00.0\\bin\\gswin64c.exe | ";
    EXPECT_EQ(Found(registry, files), exe + "C:\\Program Files\\gs\\gs10.00.0\\lib | ");

    // GS_LIB names other folders (trailing backslash, any case): they win.
    registry.Set(std::string(kGpl) + "\\10.00.0", "GS_LIB", "D:\\GS\\Lib\\;D:\\gs\\FONTS");
    files.folders.insert("D:\\GS\\Lib");
    files.folders.insert("D:\\gs\\FONTS");
    EXPECT_EQ(Found(registry, files), exe + "D:\\GS\\Lib | D:\\gs\\FONTS");
}

TEST(GhostscriptSearch, NothingWithoutARecordedDll) {
    FakeMachineRegistry registry;
    FakeFileSystem files;
    EXPECT_EQ(Found(registry, files), "none");
    registry.Set(std::string(kGpl) + "\\10.0", "GS_LIB", "C:\\gs\\lib");
    EXPECT_EQ(Found(registry, files), "none");
    // A DLL named without its folder would find a program in whatever folder is current.
    registry.Set(std::string(kGpl) + "\\10.0", "GS_DLL", "gsdll64.dll");
    files.files.insert({"gswin64c.exe", "\\gswin64c.exe"});
    EXPECT_EQ(Found(registry, files), "none");
    EXPECT_LT(CompareVersions("9.56.1", "10.0"), 0);
    EXPECT_LT(CompareVersions("9.5", "9.50"), 0);
    EXPECT_EQ(CompareVersions("10.0", "10.0.0"), 0);
    EXPECT_LT(CompareVersions("9.10", "9.10.1"), 0);
    EXPECT_GT(CompareVersions("9.10.1", "9.10"), 0);
}

TEST(FirstSettings, WritesWhatIsMissingAndKeepsWhatTheUserStored) {
    FakeMachineRegistry registry;
    EXPECT_EQ(WriteFirstSettings(registry, {"C:\\gs\\bin\\gswin64c.exe", "C:\\gs\\lib", ""}),
              (std::vector<std::string>{"gsExe", "gsLib", "defDir", "sendMail"}));
    EXPECT_EQ(registry.Get(kVellumKey, "defDir"), "%USERPROFILE%\\Documents");
    EXPECT_EQ((registry.values[{kVellumKey, "defDir"}].kind), StringKind::Expandable);
    EXPECT_EQ((registry.values[{kVellumKey, "gsExe"}].kind), StringKind::Plain);
    EXPECT_EQ(registry.Get(kVellumKey, "sendMail"), "0");
    EXPECT_FALSE(registry.HasValue(kVellumKey, "gsFonts"));

    // An upgrade: the user's edits stay, even an empty value the user chose.
    registry.Set(kVellumKey, "defDir", "D:\\PDFs");
    registry.Set(kVellumKey, "sendMail", "1");
    registry.Set(kVellumKey, "gsFonts", "");
    EXPECT_TRUE(
        WriteFirstSettings(registry, {"C:\\new\\gswin64c.exe", "C:\\new\\lib", "C:\\new\\fonts"})
            .empty());
    EXPECT_EQ(registry.Get(kVellumKey, "gsExe"), "C:\\gs\\bin\\gswin64c.exe");
    EXPECT_EQ(registry.Get(kVellumKey, "defDir"), "D:\\PDFs");
    EXPECT_EQ(registry.Get(kVellumKey, "sendMail"), "1");
}

constexpr const char* kVellumExe = "C:\\Program Files\\Vellum\\vellum.exe";
constexpr const char* kRedRun = "C:\\Program Files\\RedMon\\redrun.exe";

class PrinterSetupTest : public ::testing::Test {
protected:
    void SetUp() override {
        spooler.monitors["Local Port"] = "localspl.dll";
        spooler.monitors[kRedMonMonitor] = "redmon64.dll";
        spooler.ports = {{"LPT1:", "Local Port"}, {"rpt1:", "Local Port"}};
        spooler.installedDrivers = {"Microsoft PS Class Driver"};
        files.files.insert(kRedRun);
        request.vellumExe = kVellumExe;
        request.programFiles = "C:\\Program Files";
        request.systemFolder = "C:\\Windows\\system32";
    }

    FakePrinterSpooler spooler;
    FakeMachineRegistry registry;
    FakeFileSystem files;
    PrinterRequest request;
};

TEST_F(PrinterSetupTest, MakesItsOwnPortWithRedMonsWholeConfigurationThenThePrinter) {
    spooler.ports.push_back({"RPT2:", kRedMonMonitor});
    const PrinterReport report = MakePrinter(spooler, registry, files, request);
    ASSERT_EQ(report.outcome, PrinterOutcome::Made);
    // RPT1: is taken by another monitor's port (names compare without case), RPT2: by RedMon.
    EXPECT_EQ(report.port, "RPT3:");
    EXPECT_EQ(spooler.calls, (std::vector<std::string>{
                                 "AddPort RPT3:", "SetConfig RPT3:",
                                 "AddPrinter Vellum PDF on RPT3: with Microsoft PS Class Driver"}));
    const RedirectedPortConfig& c = spooler.configs["RPT3:"];
    EXPECT_EQ(c.description + " | " + c.command + " | " + c.arguments + " | " +
                  std::to_string(c.output) + std::to_string(c.showWindow) +
                  std::to_string(c.runUser) + " " + std::to_string(c.delay),
              "Redirected Port | " + std::string(kRedRun) +
                  " | \"C:\\Program Files\\Vellum\\vellum.exe\" %%1 | 021 300");
    EXPECT_EQ(registry.Get(kVellumKey, "rmExe"), kRedRun);
    EXPECT_EQ(registry.Get(kVellumKey, "rmPort"), "RPT3:");
    EXPECT_EQ(registry.Get(kSetupRecordKey, "Port"), "RPT3:");
    EXPECT_EQ(registry.Get(kSetupRecordKey, "Printer"), "Vellum PDF");

    // Run again (an upgrade, or the Start Menu entry): the same port, re-pointed; the printer kept.
    request.vellumExe = "D:\\Vellum\\vellum.exe";
    spooler.calls.clear();
    EXPECT_EQ(MakePrinter(spooler, registry, files, request).port, "RPT3:");
    EXPECT_EQ(spooler.calls, (std::vector<std::string>{"SetConfig RPT3:"}));
    EXPECT_EQ(spooler.configs["RPT3:"].arguments, "\"D:\\Vellum\\vellum.exe\" %%1");

    // The recorded port was deleted since: a fresh one is made.
    spooler.ports.erase(spooler.ports.end() - 1);
    spooler.calls.clear();
    EXPECT_EQ(MakePrinter(spooler, registry, files, request).port, "RPT3:");
    EXPECT_EQ(spooler.calls.front(), "AddPort RPT3:");
}

TEST_F(PrinterSetupTest, DriverFromTheDriverStoreOrTheNextOneOrTheOneNamed) {
    spooler.installedDrivers.clear();
    spooler.driverStore = {"MS Publisher Color Printer"};
    EXPECT_EQ(MakePrinter(spooler, registry, files, request).driver, "MS Publisher Color Printer");
    EXPECT_EQ(spooler.printers["Vellum PDF"].driver, "MS Publisher Color Printer");

    FakePrinterSpooler other;
    other.monitors = spooler.monitors;
    other.installedDrivers = {"Vellum PostScript"};
    FakeMachineRegistry fresh;
    request.drivers = {"Vellum PostScript"};
    EXPECT_EQ(MakePrinter(other, fresh, files, request).driver, "Vellum PostScript");
}

TEST_F(PrinterSetupTest, NoDriverFailsButThePortIsRecordedForUninstall) {
    spooler.installedDrivers.clear();
    try {
        MakePrinter(spooler, registry, files, request);
        FAIL() << "no driver was reported";
    } catch (const toolkit::RuntimeError& e) {
        EXPECT_EQ(e.Description(),
                  "No PostScript printer driver for \"Vellum PDF\": none of \"Microsoft PS Class "
                  "Driver\", \"MS Publisher Color Printer\" is installed.");
    }
    EXPECT_EQ(registry.Get(kSetupRecordKey, "Port"), "RPT2:");
    EXPECT_TRUE(RemovePrinter(spooler, registry).empty());
    EXPECT_EQ(spooler.ports.size(), 2u);
    EXPECT_TRUE(registry.keys.count(kSetupRecordKey) == 0);
}

TEST_F(PrinterSetupTest, WithoutRedMonOrRedRunOrWithTheNameTakenNothingIsMade) {
    spooler.monitors.erase(kRedMonMonitor);
    EXPECT_EQ(MakePrinter(spooler, registry, files, request).outcome, PrinterOutcome::NoMonitor);

    spooler.monitors[kRedMonMonitor] = "redmon64.dll";
    files.files.clear();
    EXPECT_EQ(MakePrinter(spooler, registry, files, request).outcome, PrinterOutcome::NoRedRun);
    request.redrun = "C:\\redmon\\*.exe";
    EXPECT_EQ(MakePrinter(spooler, registry, files, request).outcome, PrinterOutcome::NoRedRun);

    files.files.insert(kRedRun);
    request.redrun.clear();
    spooler.printers["Vellum PDF"] = {"RPT1:", "Some Driver"};
    const PrinterReport report = MakePrinter(spooler, registry, files, request);
    EXPECT_EQ(report.outcome, PrinterOutcome::PrinterTaken);
    EXPECT_EQ(report.takenBy, "RPT1:");
    EXPECT_TRUE(spooler.calls.empty());
    EXPECT_TRUE(registry.values.empty());
}

TEST_F(PrinterSetupTest, RedRunIsLookedForBesideRedMon) {
    registry.Set("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\RedMon",
                 "UninstallString", "\"D:\\Tools\\RedMon\\unredmon.exe\" /S");
    EXPECT_EQ(RedRunCandidates(registry, "E:\\mon\\redmon64.dll", request),
              (std::vector<std::string>{"E:\\mon\\redrun.exe", "D:\\Tools\\RedMon\\redrun.exe",
                                        "C:\\Program Files\\RedMon\\redrun.exe",
                                        "C:\\Windows\\system32\\redrun.exe"}));
    registry.Set("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\RedMon",
                 "UninstallString", "C:\\Program Files\\RedMon\\unredmon.exe");
    EXPECT_EQ(RedRunCandidates(registry, "redmon64.dll", request),
              (std::vector<std::string>{"C:\\Program Files\\RedMon\\redrun.exe",
                                        "C:\\Windows\\system32\\redrun.exe"}));

    files.files = {"E:\\mon\\redrun.exe", kRedRun};
    spooler.monitors[kRedMonMonitor] = "E:\\mon\\redmon64.dll";
    EXPECT_EQ(MakePrinter(spooler, registry, files, request).redrun, "E:\\mon\\redrun.exe");
}

TEST_F(PrinterSetupTest, RemoveTakesThePrinterBeforeItsPortAndOnlyWhatWasMade) {
    MakePrinter(spooler, registry, files, request);
    spooler.printers["Other"] = {"LPT1:", "Microsoft PS Class Driver"};
    spooler.calls.clear();
    EXPECT_TRUE(RemovePrinter(spooler, registry).empty());
    EXPECT_EQ(spooler.calls,
              (std::vector<std::string>{"DeletePrinter Vellum PDF", "DeletePort RPT2:"}));
    EXPECT_EQ(spooler.printers.count("Other"), 1u);
    EXPECT_EQ(spooler.ports.size(), 2u);
    EXPECT_EQ(registry.keys.count(kSetupRecordKey), 0u);
    // rmExe and rmPort are Vellum's settings, which the uninstaller removes with the rest.
    EXPECT_EQ(registry.Get(kVellumKey, "rmPort"), "RPT2:");

    // Nothing recorded: nothing touched.
    spooler.calls.clear();
    EXPECT_TRUE(RemovePrinter(spooler, registry).empty());
    EXPECT_TRUE(spooler.calls.empty());

    // The recorded port is gone, or is another monitor's now: it is not deleted.
    for (const char* monitor : {"", "Local Port"}) {
        registry.Set(kSetupRecordKey, "Port", "RPT9:");
        if (*monitor) spooler.ports.push_back({"RPT9:", monitor});
        EXPECT_TRUE(RemovePrinter(spooler, registry).empty());
        EXPECT_TRUE(spooler.calls.empty()) << monitor;
    }
}

TEST_F(PrinterSetupTest, RemoveGoesOnPastAFailureAndKeepsTheRecordForAnotherTry) {
    MakePrinter(spooler, registry, files, request);
    spooler.failDeletePrinter = true;
    const auto failures = RemovePrinter(spooler, registry);
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_EQ(failures[0], "printer \"Vellum PDF\": Access is denied.");
    EXPECT_EQ(failures[1], "port RPT2:: The requested resource is in use.");
    EXPECT_EQ(registry.Get(kSetupRecordKey, "Port"), "RPT2:");

    spooler.failDeletePrinter = false;
    EXPECT_TRUE(RemovePrinter(spooler, registry).empty());
    EXPECT_TRUE(spooler.printers.empty());
}

class HelperTest : public PrinterSetupTest {
protected:
    HelperResult Run(std::vector<std::string> arguments) {
        HelperServices services{spooler,
                                registry,
                                files,
                                "C:\\Program Files\\Vellum",
                                "C:\\Program Files",
                                "C:\\Windows\\system32",
                                [this](const std::string& text) { logged.push_back(text); }};
        return RunHelper(arguments, services);
    }
    std::vector<std::string> logged;
};

TEST_F(HelperTest, CommandsAnswerWithTheirExitCodes) {
    EXPECT_EQ(Run({}).exitCode, kExitUsage);
    EXPECT_EQ(Run({"printer", "--driver"}).exitCode, kExitUsage);
    EXPECT_EQ(Run({"printer", "--colour", "red"}).exitCode, kExitUsage);
    EXPECT_EQ(Run({"find-ghostscript", "exe"}).exitCode, kExitNotFound);

    Install(registry, files, kGpl, "10.02.1");
    const HelperResult exe = Run({"find-ghostscript", "exe"});
    EXPECT_EQ(exe.exitCode, kExitDone);
    EXPECT_EQ(exe.output, "C:\\Program Files\\gs\\gs10.02.1\\bin\\gswin64c.exe");

    const HelperResult printer = Run({"printer"});
    EXPECT_EQ(printer.exitCode, kExitDone) << printer.message;
    EXPECT_EQ(printer.output,
              "port RPT2:\nprinter Vellum PDF\ndriver Microsoft PS Class Driver\nredrun " +
                  std::string(kRedRun) + "\n");
    EXPECT_EQ(spooler.configs["RPT2:"].arguments, "\"C:\\Program Files\\Vellum\\vellum.exe\" %%1");

    spooler.failDeletePrinter = true;
    EXPECT_EQ(Run({"remove"}).exitCode, kExitFailed) << "a printer left behind is a failure";
    spooler.failDeletePrinter = false;

    spooler.monitors.erase(kRedMonMonitor);
    const HelperResult noMonitor = Run({"printer"});
    EXPECT_EQ(noMonitor.exitCode, kExitNoMonitor);
    EXPECT_EQ(noMonitor.message, kRedMonNeeded);
}

TEST_F(HelperTest, SettingsTakeTheUsersChoiceOverWhatWasFound) {
    Install(registry, files, kGpl, "10.02.1");
    // The user emptied the Ghostscript fields: none is written, the rest is.
    EXPECT_EQ(Run({"settings", "--gs-exe", ""}).output, "defDir\nsendMail\n");
    EXPECT_FALSE(registry.HasValue(kVellumKey, "gsExe"));
    EXPECT_EQ(Run({"settings"}).output, "gsExe\ngsLib\ngsFonts\n");
    EXPECT_EQ(registry.Get(kVellumKey, "gsLib"), "C:\\Program Files\\gs\\gs10.02.1\\lib");
}

TEST_F(HelperTest, SavingDefaultsForADeploymentReplaceWhatIsStoredWhenAllAreValid) {
    registry.Set(kVellumKey, "saveMode", "ask");
    EXPECT_EQ(Run({"settings", "--save-mode", "Auto", "--auto-dir", "\\\\server\\pdf\\<user>",
                   "--quality", " EBook", "--pdfa", "2", "--auto-existing", "append", "--auto-name",
                   "<date> <title>"})
                  .output,
              "saveMode\nautoDir\npdfQuality\npdfA\nautoExisting\nautoName\ndefDir\nsendMail\n");
    EXPECT_EQ(registry.Get(kVellumKey, "autoName"), "<date> <title>");
    EXPECT_EQ(registry.Get(kVellumKey, "saveMode"), "auto") << "a choice in any case";
    EXPECT_EQ(registry.Get(kVellumKey, "pdfQuality"), "ebook");
    EXPECT_EQ(registry.Get(kVellumKey, "autoDir"), "\\\\server\\pdf\\<user>");
    EXPECT_TRUE(logged.empty());
}

TEST_F(HelperTest, AnUnknownSavingSwitchStoresNoneOfThemButEveryFirstSetting) {
    const std::string quality =
        "/QUALITY=best is unknown (it takes default, screen, ebook, printer or prepress)";
    const struct {
        std::vector<std::string> options;
        std::string problem;
    } cases[] = {
        {{"--save-mode", "auto", "--quality", "best"}, quality},
        {{"--save-mode", "Automatic"}, "/SAVEMODE=Automatic is unknown (it takes ask or auto)"},
        {{"--pdfa", "1", "--quality", "best"}, quality + "; /PDFA=1 is unknown (it takes 0 or 2)"},
        {{"--auto-dir", "pdf"},
         "/AUTODIR=pdf is unknown (it takes a full path, such as D:\\PDF or "
         "\\\\server\\pdf\\<user>)"},
        {{"--auto-dir", "d:\\PDF"}, ""},
        {{"--auto-existing", "merge"},
         "/AUTOEXISTING=merge is unknown (it takes unique or append)"},
        {{"--auto-dir", "%PUBLIC%\\PDF", "--save-mode", "auto"}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.problem);
        registry.values.clear();
        logged.clear();
        Install(registry, files, kGpl, "10.02.1");
        std::vector<std::string> check = {"check-saving"}, settings = {"settings"};
        check.insert(check.end(), c.options.begin(), c.options.end());
        settings.insert(settings.end(), c.options.begin(), c.options.end());
        const HelperResult checked = Run(check);
        EXPECT_EQ(checked.message, c.problem);
        EXPECT_FALSE(registry.HasValue(kVellumKey, "gsExe")) << "the check writes nothing";
        const HelperResult result = Run(settings);
        EXPECT_EQ(result.exitCode, checked.exitCode);
        EXPECT_TRUE(registry.HasValue(kVellumKey, "gsExe") &&
                    registry.HasValue(kVellumKey, "defDir"));
        EXPECT_EQ(
            registry.HasValue(kVellumKey, c.options[0] == "--auto-dir" ? "autoDir" : "saveMode"),
            c.problem.empty());
        const std::string message = "Setup stored none of the saving switches, because " +
                                    c.problem + ". Vellum's other settings were stored.";
        EXPECT_EQ(result.exitCode, c.problem.empty() ? kExitDone : kExitSavingRefused);
        EXPECT_EQ(logged, c.problem.empty() ? std::vector<std::string>{}
                                            : std::vector<std::string>{message});
    }
}

}  // namespace
}  // namespace vellum::setup
