#include "config/frm_config.h"
#include "config/redirection_arguments.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/fake_controls.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_msg_box.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_shell.h"
#include "fakes/fake_spooler.h"
#include "fakes/fake_startup.h"
#include "settings/settings.h"

namespace vellum::config {

namespace {

using Texts = std::vector<std::string>;

constexpr const char* kKey = "SOFTWARE\\Vellum";
constexpr const char* kUserKey = "HKCU\\Software\\Vellum";
constexpr const char* kPort =
    "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Redirected Port\\Ports\\RPT1:";
constexpr const char* kGs = "C:\\gs\\gswin64c.exe";
constexpr const char* kRedRun = "C:\\RedMon\\redrun.exe";

class FrmConfigTest : public ::testing::Test {
public:
    void SetUp() override {
        settings::Settings = {kGs, "C:\\gs\\fonts", "C:\\gs\\lib", "1", "C:\\PDF"};
        spooler.AddRedMon("RPT1:");
        spooler.AddRedMon("RPT2:");
        registry.Set(kPort, "Arguments", "");
        registry.Set(kPort, "Command", "");
        files.files = {kGs, kRedRun};
    }
    void Load() { form.Form_Load(); }
    SavingControls Saving() {
        return {optAsk,    optAuto,    txtAutoDir, txtAutoName, optUnique,
                optAppend, chkOpenPdf, cmbQuality, chkPdfA};
    }
    // Fills the fields as a user would before pressing Save; the box starts empty.
    void Fill() { Fill(form); }
    void Fill(FrmConfig& f) {
        f.Form_Load();
        txtgsdir.text = kGs;
        txtRRexe.text = kRedRun;
        cmbPorts.SetText("RPT1:");
        registry.calls.clear();
        box.shown.clear();
    }

    FakeTabControl ssConfig;
    FakeButton cmdAbout, cmdSave, cmdCancel, browse0, browse1, browse2, browseRM, pdfDir;
    FakeTextBox txtgsdir, txtgsfonts, txtgslib, txtRRexe, txtPDFDir;
    FakeLabel label;
    FakeLabel window;  // the form itself: only its handle is used
    FakeComboBox cmbPorts;
    FakeCheckBox chkMail, optAsk, optAuto, optUnique, optAppend, chkOpenPdf, chkPdfA;
    FakeTextBox txtAutoDir, txtAutoName;
    FakeComboBox cmbQuality;
    FakeFileDialogs dialogs;
    toolkit::CommonDialog dlg{dialogs, "Save As"};

    FakeRegistry registry;
    FakeRegistryFactory factory{registry};
    FakeFileSystem files;
    FakeMsgBox box;
    FakeWindowApi windows;
    FakeFolderBrowser folders;
    FakeSpooler spooler;
    FakeProgram program;
    toolkit::AppInfo app{"C:\\Program Files\\Vellum", "vellum", 1, 0, 2};

    // The window over this fixture's controls and services; the one in `form` has no elevation
    // and a platform where the printer works.
    std::vector<toolkit::Control*> all{&cmdSave,    &cmdAbout, &ssConfig, &cmdCancel, &txtgsdir,
                                       &txtgsfonts, &txtgslib, &browse0,  &browse1,   &browse2,
                                       &label,      &txtRRexe, &browseRM, &cmbPorts,  &chkMail,
                                       &pdfDir,     &txtPDFDir};
    FrmConfig Make(toolkit::Elevation* elevation = nullptr, PrintPlatform platform = {}) {
        return FrmConfig{
            ConfigControls{ssConfig, cmdAbout, cmdSave, cmdCancel, txtgsdir, txtgsfonts, txtgslib,
                           txtRRexe, txtPDFDir, cmbPorts, chkMail, dlg, all, window, Saving()},
            ConfigServices{factory, files, box, windows, folders, spooler, program, app, elevation,
                           platform}};
    }
    FrmConfig form = Make();
};

}  // namespace

TEST_F(FrmConfigTest, LoadEdgesEveryButtonCompletesFourPathsAndShowsTheSettings) {
    registry.Set(kKey, "rmExe", kRedRun);
    registry.Set(kKey, "rmPort", "RPT2:");
    Load();
    EXPECT_EQ(ssConfig.tab, 0);
    const FakeButton* buttons[] = {&cmdSave, &cmdAbout, &cmdCancel, &browse0,
                                   &browse1, &browse2,  &browseRM,  &pdfDir};
    for (const FakeButton* b : buttons) EXPECT_EQ(windows.styles[b->hwnd], shell::kWsExStaticEdge);
    EXPECT_EQ(windows.framesChanged.size(), std::size(buttons)) << "only buttons";
    EXPECT_EQ(
        windows.completions,
        (std::vector<std::pair<std::uintptr_t, std::uint32_t>>{
            {txtRRexe.hwnd, 1}, {txtgsdir.hwnd, 1}, {txtgsfonts.hwnd, 1}, {txtgslib.hwnd, 1}}));
    EXPECT_EQ(cmbPorts.items, (Texts{"RPT1:", "RPT2:"}));
    EXPECT_EQ((Texts{cmbPorts.Text(), txtRRexe.text, txtgsdir.text, txtgsfonts.text, txtgslib.text,
                     txtPDFDir.text}),
              (Texts{"RPT2:", kRedRun, kGs, "C:\\gs\\fonts", "C:\\gs\\lib", "C:\\PDF"}));
    EXPECT_EQ(chkMail.value, 1);
    EXPECT_EQ(registry.alive, 1) << "the window keeps its component from load on";
}

TEST_F(FrmConfigTest, LoadSelectsNoBlankPortAndChecksMailAsTheConvertModeReadsIt) {
    registry.Set(kKey, "rmPort", "   ");
    windows.autoCompleteAvailable = false;  // and completion missing is silent
    for (const auto& [stored, checked] : std::vector<std::pair<std::string, int>>{
             {" 1", 1}, {"1  ", 1}, {"\t1", 0}, {"11", 0}, {"", 0}, {"0", 0}}) {
        SCOPED_TRACE("sendMail \"" + stored + "\"");
        settings::Settings.sendMail = stored;
        Load();
        EXPECT_EQ(chkMail.value, checked);
    }
    EXPECT_EQ(cmbPorts.setTextCalls, 0);
    EXPECT_FALSE(cmbPorts.selected.has_value());
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(FrmConfigTest, LoadSaysWhyThePrinterCannotWorkOnlyWhenItsPortIsMissing) {
    for (const auto& [port, told] :
         std::vector<std::pair<std::string, bool>>{{"RPT2:", false}, {"RPT9:", true}}) {
        SCOPED_TRACE(port);
        registry.Set(kKey, "rmPort", port);
        box.shown.clear();
        Make(nullptr, {std::nullopt, std::nullopt, kMachineArm64}).Form_Load();
        ASSERT_EQ(box.shown.size(), told ? 1u : 0u);
        EXPECT_EQ(ssConfig.tab, told ? static_cast<int>(ConfigTab::RedMon) : 0);
    }
    factory.failCreate = true;
    EXPECT_THROW(Load(), toolkit::RuntimeError) << "without its component";
}

TEST_F(FrmConfigTest, SaveWithMissingGhostscriptStoresNothingAndShowsThePathOnItsTab) {
    Fill();
    ssConfig.tab = 2;
    txtgsdir.text = "C:\\nowhere\\gs.exe";
    form.cmdSave_Click();
    EXPECT_EQ(box.Texts(), Texts{"Ghostscript executable not found."});
    EXPECT_EQ(box.shown[0].icon, toolkit::Icon::Error);
    EXPECT_EQ(std::make_pair(txtgsdir.selStart, txtgsdir.selLength), std::make_pair(0, 17));
    EXPECT_TRUE(txtgsdir.focused);
    EXPECT_EQ(ssConfig.tab, 0) << "keystrokes must not go to a field on a hidden tab";
    EXPECT_TRUE(registry.calls.empty());
    EXPECT_EQ(program.ended, 0);
}

TEST_F(FrmConfigTest, SuccessfulSaveStoresSettingsBeforeBindingThePortAndEnds) {
    Fill();
    chkMail.value = 0;
    txtgsfonts.text = " spaced ";
    form.cmdSave_Click();
    EXPECT_TRUE(box.shown.empty());
    EXPECT_EQ(registry.Writes(),
              (Texts{"gsExe", "gsFonts", "gsLib", "sendMail", "defDir", "autoDir", "saveMode",
                     "openPdf", "pdfQuality", "pdfA", "autoExisting", "autoName", "rmExe", "rmPort",
                     "Arguments", "Command"}));
    const auto first = [&](const char* op) {
        return std::find_if(registry.calls.begin(), registry.calls.end(), [&](const auto& c) {
            return c.op == op && c.valueName == "Arguments";
        });
    };
    EXPECT_LT(first("read"), first("write")) << "the port is probed before it is written";
    EXPECT_EQ(registry.Get(kKey, "gsFonts"), " spaced ") << "stored exactly as typed";
    EXPECT_EQ(registry.Get(kUserKey, "sendMail"), "0");
    EXPECT_EQ(registry.Get(kPort, "Arguments"), "\"C:\\Program Files\\Vellum\\vellum.exe\" %%1");
    EXPECT_EQ(registry.Get(kPort, "Command"), kRedRun);
    EXPECT_EQ(program.ended, 1);
    EXPECT_EQ(registry.alive, 0) << "released on unload";
}

TEST_F(FrmConfigTest, AFailedStoreOrRedRunPathKeepsThePortAndTheWindow) {
    const struct {
        const char *redRun, *failing, *message;
        int tab;
    } rows[] = {{kRedRun, "defDir", "Vellum settings could not be saved.", 0},
                {"C:\\RedMon\\missing.exe", "", "RedRun executable not found.", 1}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.message);
        registry.values.clear();
        SetUp();
        Fill();
        txtRRexe.text = row.redRun;
        registry.failingWrites = {{kUserKey, row.failing}};
        form.cmdSave_Click();
        EXPECT_EQ(box.Texts(), Texts{row.message});
        EXPECT_EQ(ssConfig.tab, row.tab);
        EXPECT_EQ(txtRRexe.focused, row.tab == 1);
        EXPECT_EQ(registry.Writes().size(), std::size(settings::kSettingEntries) - 1)
            << "the settings, nothing of the port";
        EXPECT_EQ(program.ended, 0);
    }
}

TEST_F(FrmConfigTest, PortProblemsStopTheBindingWhereTheyOccur) {
    const struct {
        const char* arrange;  // "unchosen", "gone" (the port lacks Arguments), else the failing
        const char* message;
        Texts writes;
    } cases[] = {
        {"unchosen", "Unable to find RedMon Port", {"rmExe", "rmPort"}},
        {"gone", "Unable to find RedMon Port", {"rmExe", "rmPort"}},
        {"Arguments", "Unable to update RedMon Port", {"rmExe", "rmPort", "Arguments"}},
        {"Command", "Unable to update RedMon Port", {"rmExe", "rmPort", "Arguments", "Command"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arrange);
        registry.values.clear();
        SetUp();
        Fill();
        const std::string arrange = c.arrange;
        if (arrange == "unchosen")
            cmbPorts.selected.reset();
        else if (arrange == "gone")
            registry.values.erase({kPort, "Arguments"});
        else
            registry.failingWrites = {{kPort, arrange}};
        EXPECT_FALSE(form.ApplyRedirectionSettings());
        EXPECT_EQ(box.Texts(), Texts{c.message});
        EXPECT_EQ(registry.Writes(), c.writes);
        ssConfig.tab = 2;
        form.cmdSave_Click();
        EXPECT_EQ(ssConfig.tab, 1) << "the RedMon tab shows what failed";
    }
}

TEST_F(FrmConfigTest, AStandardUsersSaveAsksForElevationForTheMachinesPartAlone) {
    using State = toolkit::ElevatedRun::State;
    const struct {
        bool readOnly, elevated;
        toolkit::ElevatedRun run;
        size_t runs;
        const char* message;  // the start of the one message shown, "" for none
        bool saved;
    } rows[] = {
        {false, false, {State::Finished, 0, ""}, 0, "", true},  // HKLM writable
        {true, false, {State::Finished, 0, ""}, 1, "", true},
        {true, false, {State::Declined, 0, ""}, 1, "Your own settings were saved", false},
        {true, false, {State::Finished, 3, ""}, 1, "Unable to find RedMon Port", false},
        {true, true, {State::Finished, 0, ""}, 0, "Vellum settings could not be saved.", false},
    };
    for (bool held : {false, true})
        for (const auto& row : rows) {
            if (held && row.runs == 0) continue;
            SCOPED_TRACE(std::string(row.message) + (held ? ", a job held" : ""));
            FakeElevation elevation;
            elevation.elevated = row.elevated;
            elevation.run = row.run;
            FrmConfig elevating = Make(&elevation);
            registry.values.clear();
            SetUp();
            registry.machineReadOnly = row.readOnly;
            program.ended = 0;
            Fill(elevating);
            if (held) elevating.HoldJob("letter.txt", box);
            elevating.cmdSave_Click();
            EXPECT_EQ(elevation.runs.size(), row.runs);
            if (row.runs > 0) {
                EXPECT_EQ(elevation.runs[0],
                          "-machine \"C:\\gs\\gswin64c.exe\" \"C:\\gs\\fonts\" "
                          "\"C:\\gs\\lib\" \"C:\\RedMon\\redrun.exe\" \"RPT1:\"");
            }
            EXPECT_EQ(box.shown.size(), *row.message ? 1u : 0u);
            EXPECT_EQ(box.shown.empty() ? "" : box.shown[0].text.substr(0, strlen(row.message)),
                      row.message);
            EXPECT_EQ(held ? elevating.Outcome() == ConfigOutcome::Saved : program.ended == 1,
                      row.saved);
            EXPECT_EQ(registry.Get(kUserKey, "defDir"), "C:\\PDF")
                << "the user's own part is always saved";
        }
}

TEST_F(FrmConfigTest, EachTrapOfTheSaveReportsInItsOwnForm) {
    constexpr const char* kNoFocus =
        "Error: 5 Source: Vellum\r\nInvalid procedure call or argument";
    Fill();
    // A box that cannot take the focus fails inside the save's own trap: the one-space form.
    txtgsdir.text = "C:\\nowhere\\gs.exe";
    txtgsdir.canFocus = false;
    form.cmdSave_Click();
    EXPECT_EQ(box.Texts(), (Texts{"Ghostscript executable not found.", kNoFocus}));
    EXPECT_EQ(box.shown[1].title, "Error!");
    EXPECT_EQ(box.shown[1].icon, toolkit::Icon::Error);

    // The redirection check traps in the same form.
    box.shown.clear();
    txtgsdir.text = kGs;
    txtRRexe.text = "C:\\RedMon\\missing.exe";
    txtRRexe.canFocus = false;
    EXPECT_FALSE(form.ApplyRedirectionSettings());
    EXPECT_EQ(box.Texts(), (Texts{"RedRun executable not found.", kNoFocus}));
    EXPECT_EQ(box.shown[1].title, "Error!");

    // The settings store and the port update report in the long form, under "Error".
    txtRRexe.text = kRedRun;
    for (bool noComponent : {true, false}) {
        box.shown.clear();
        factory.failCreate = noComponent;
        if (!noComponent) registry.throwingReads.insert({kPort, "Arguments"});
        form.cmdSave_Click();
        EXPECT_EQ(box.Texts(),
                  Texts{noComponent ? "Error: 429   Source: Vellum\r\nThe registry component "
                                      "VellumRegistry.dll could not be created."
                                    : "Error: -2147024891   Source: "
                                      "Vellum.RegistryAccess\r\nAccess is denied."});
        EXPECT_EQ(box.shown[0].title, "Error");
    }
}

TEST_F(FrmConfigTest, ExecutablePickersCancelSilentlyAndKeepTheField) {
    Load();
    txtgsdir.text = "typed";
    form.cmdBrowse_Click(0);
    EXPECT_EQ(txtgsdir.text, "typed");
    EXPECT_TRUE(box.shown.empty());
    ASSERT_EQ(dialogs.shown.size(), 1u);
    const toolkit::FileDialogRequest& r = dialogs.shown[0].second;
    EXPECT_EQ(dialogs.shown[0].first, "open");
    EXPECT_EQ(r.title, "Select Ghostscript Command Line Executable");
    EXPECT_EQ(r.flags, 4u);
    EXPECT_EQ(r.initDir, "C:\\Program Files\\Vellum");
    EXPECT_EQ(r.filters[0].second, "*.exe");

    dialogs.answers.push_back("C:\\RedMon\\redrun.exe");
    form.cmdBrowseRM_Click(0);
    EXPECT_EQ(txtRRexe.text, "C:\\RedMon\\redrun.exe");
    EXPECT_EQ(dialogs.shown[1].second.title, "Select RedRun Executable");

    dialogs.fail = true;
    form.cmdBrowse_Click(0);
    EXPECT_EQ(box.Texts(), Texts{"20477: The file dialog failed."});
}

TEST_F(FrmConfigTest, FolderPickersFillTheirFieldAndACancelKeepsIt) {
    Load();
    files.folders.insert("C:\\PDF");
    form.cmdBrowse_Click(1);
    folders.answer = "D:\\gs\\lib";
    form.cmdBrowse_Click(2);
    folders.answer = "";
    form.cmdPDFDir_Click(3);
    EXPECT_EQ((Texts{txtgsfonts.text, txtgslib.text, txtPDFDir.text}),
              (Texts{"C:\\gs\\fonts", "D:\\gs\\lib", "C:\\PDF"}));
    Texts titles;
    for (const auto& call : folders.calls) {
        EXPECT_EQ(call.owner, window.hwnd);
        titles.push_back(call.title);
    }
    EXPECT_EQ(titles,
              (Texts{"Select Ghostscript Fonts Directory", "Select Ghostscript Lib Directory",
                     "Select Default PDF Document Directory"}));
    EXPECT_EQ(folders.calls[0].initialPath, "C:\\") << "the field's folder does not exist";
    EXPECT_EQ(folders.calls[2].initialPath, "C:\\PDF") << "the field's folder";
}

TEST_F(FrmConfigTest, SavingTabShowsAndStoresTheSavingSettings) {
    settings::Settings = {kGs, "", "", "", "C:\\PDF"};
    Fill();
    const auto shown = [&] {
        return std::vector<int>({optAsk.value, optAuto.value, chkOpenPdf.value, chkPdfA.value,
                                 optUnique.value, optAppend.value});
    };
    EXPECT_EQ(shown(), std::vector<int>({1, 0, 0, 0, 1, 0}));
    EXPECT_EQ(txtAutoDir.text, "C:\\PDF") << "the default PDF folder";
    EXPECT_EQ(cmbQuality.Text(), "Default");
    form.cmdSave_Click();
    EXPECT_EQ(registry.Get(kUserKey, "saveMode") + registry.Get(kUserKey, "autoExisting"),
              "askunique");

    settings::Settings = {kGs, "", "", "", "C:\\PDF", "auto", "%TEMP%\\<user>", "1", "screen", "2"};
    settings::Settings.autoExisting = "append";
    Fill();
    EXPECT_EQ(shown(), std::vector<int>({0, 1, 1, 1, 0, 1}));
    EXPECT_EQ(cmbQuality.items.size(), 5u);
    EXPECT_EQ(cmbQuality.Text(), "Smallest file (screen)");
    cmbQuality.SetText("Highest (prepress)");
    form.cmdSave_Click();
    Texts saved;
    for (const char* name :
         {"saveMode", "autoDir", "openPdf", "pdfQuality", "pdfA", "autoExisting"})
        saved.push_back(registry.Get(kUserKey, name));
    EXPECT_EQ(saved, (Texts{"auto", "%TEMP%\\<user>", "1", "prepress", "2", "append"}));
}

TEST_F(FrmConfigTest, TheDefaultShownForABlankFieldIsStoredOnlyOnceChanged) {
    const struct {
        const char *name, *stored, *shown, *typed, *saved;  // typed: nullptr leaves it as shown
    } cases[] = {{"autoDir", "", "C:\\PDF", nullptr, ""},
                 {"autoDir", "", "C:\\PDF", " C:\\PDF ", ""},
                 {"autoDir", "", "C:\\PDF", "D:\\Auto", "D:\\Auto"},
                 {"autoDir", "C:\\PDF", "C:\\PDF", nullptr, "C:\\PDF"},
                 {"autoDir", "D:\\Auto", "D:\\Auto", nullptr, "D:\\Auto"},
                 {"autoName", " ", "<title>", nullptr, " "},
                 {"autoName", "", "<title>", " <title> ", ""},
                 {"autoName", "<title>", "<title>", "  ", ""},
                 {"autoName", "<date> <title>", "<date> <title>", nullptr, "<date> <title>"},
                 // Not checked: tokens and characters are the print time's to deal with.
                 {"autoName", "<title>", "<title>", " <x>:<title>? ", "<x>:<title>?"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + c.stored + " / " + (c.typed ? c.typed : "-"));
        const bool dir = std::string(c.name) == "autoDir";
        settings::Settings = {kGs, "", "", "", "C:\\PDF"};
        (dir ? settings::Settings.autoDir : settings::Settings.autoName) = c.stored;
        FakeTextBox& field = dir ? txtAutoDir : txtAutoName;
        Fill();
        EXPECT_EQ(field.text, c.shown);
        if (c.typed) field.text = c.typed;
        form.cmdSave_Click();
        EXPECT_EQ(registry.Get(kUserKey, c.name), c.saved);
    }
}

TEST_F(FrmConfigTest, SaveChecksTheAutomaticFolderOnlyWhenAutomaticSavingIsChosen) {
    const struct {
        int automatic;
        const char *folder, *message;
    } cases[] = {
        {0, "C:\\Gone", ""},
        {1, "\\\\server\\pdf\\<user>", ""},
        {1, "  ", "Choose the folder where PDFs are saved automatically."},
        {1, "C:\\Gone", "The folder for automatic saving was not found:\r\nC:\\Gone"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        Fill();
        optAuto.value = c.automatic;
        txtAutoDir.text = c.folder;
        form.cmdSave_Click();
        EXPECT_EQ(box.shown.empty() ? "" : box.shown[0].text, c.message);
        EXPECT_EQ(registry.Writes().empty(), *c.message != 0);
        if (*c.message) {
            EXPECT_TRUE(txtAutoDir.focused);
            EXPECT_EQ(ssConfig.tab, 3);
        }
    }
    folders.answer = "D:\\Auto";
    form.cmdAutoDir_Click();
    EXPECT_EQ(folders.calls.back().title, "Select the Folder for Automatic Saving");
    folders.answer = "";
    form.cmdAutoDir_Click();
    EXPECT_EQ(txtAutoDir.text, "D:\\Auto") << "a cancel keeps it";
}

TEST_F(FrmConfigTest, CancelEndsWithoutStoring) {
    Fill();
    form.cmdCancel_Click();
    EXPECT_EQ(program.ended, 1);
    EXPECT_TRUE(registry.calls.empty());
}

TEST_F(FrmConfigTest, WhileAJobIsHeldUnloadClosesOnlyTheWindowAndSaysHow) {
    Fill();
    FakeMsgBox jobBox;  // the job's, which logs what it shows
    form.HoldJob("", jobBox);
    EXPECT_FALSE(form.Outcome().has_value()) << "open";
    txtgsdir.text = "C:\\gs\\missing.exe";
    form.cmdSave_Click();
    EXPECT_FALSE(form.Outcome().has_value()) << "a failed save leaves it open";
    txtgsdir.text = kGs;
    txtRRexe.text = "C:\\RedMon\\missing.exe";
    form.cmdSave_Click();
    EXPECT_FALSE(form.Outcome().has_value()) << "a failed port binding is no save";
    EXPECT_EQ(ssConfig.tab, 1);
    EXPECT_EQ(jobBox.Texts(),
              (Texts{"Ghostscript executable not found.", "RedRun executable not found."}));
    EXPECT_TRUE(box.shown.empty());
    EXPECT_EQ(registry.Get(kKey, "gsExe"), kGs);
    txtRRexe.text = kRedRun;
    form.cmdSave_Click();
    EXPECT_EQ(form.Outcome(), ConfigOutcome::Saved);
    EXPECT_TRUE(form.Form_QueryUnload()) << "a saved job's window closes unasked";
    form.cmdAbout_Click();
    EXPECT_EQ(box.shown.size(), 1u) << "the job's box only while it is held";

    for (bool closeBox : {false, true}) {  // else Cancel and Esc
        const auto close = [&] {
            if (!closeBox)
                form.cmdCancel_Click();
            else if (form.Form_QueryUnload())
                form.Form_Unload();
        };
        Load();
        form.HoldJob("letter.txt", jobBox);
        jobBox.answers = {toolkit::Answer::No};
        close();
        EXPECT_FALSE(form.Outcome().has_value()) << "No goes back to the window";
        jobBox.answers = {toolkit::Answer::Yes};
        close();
        EXPECT_EQ(form.Outcome(), ConfigOutcome::Closed);
        EXPECT_EQ(jobBox.shown.back().text, DiscardJobQuestion("letter.txt"));
        EXPECT_EQ(registry.alive, 0) << "released on unload";
    }
    EXPECT_EQ(program.ended, 0) << "the held job goes on";
}

TEST(MachinePart, TheElevatedRunTakesOnlyItsOwnCommandAndChecksItsValues) {
    MachineValues v{kGs, "C:\\gs\\fonts;C:\\more", "C:\\gs\\lib", kRedRun, "RPT1:"};
    ASSERT_TRUE(ParseMachineCommand(MachineCommand(v)).has_value());
    EXPECT_EQ(ParseMachineCommand(MachineCommand(v))->gsFonts, v.gsFonts);
    for (const char* tail : {R"(-machine"a" "b" "c" "d" "e")", R"(-machine "a" "b" "c" "d" "e" f)",
                             R"(-machine "a" "b" "c" "d" "e" "f")"})
        EXPECT_FALSE(ParseMachineCommand(tail).has_value()) << tail;
    FakeFileSystem files;
    files.files = {kGs, kRedRun};
    files.folders = {"C:\\gs\\lib"};
    EXPECT_EQ(CheckMachineValues(v, files, true), kMachineDone) << "a list is not checked";
    v.rmPort = " ";
    EXPECT_EQ(CheckMachineValues(v, files, true), kMachineNoPort);
    EXPECT_EQ(MachineSettingLabels({"rmPort", "Command", "gsLib", "Arguments"}),
              "the Ghostscript lib folder, the RedMon port and the port's binding to Vellum");
}

TEST(About, VersionLineRunsMinorAndRevisionTogether) {
    EXPECT_EQ(AboutVersionLine({"", "", 1, 0, 2}), "Vellum v1.02 : PDF Writer for Ghostscript.");
    EXPECT_EQ(AboutVersionLine({"", "", 1, 10, 5}), "Vellum v1.105 : PDF Writer for Ghostscript.");
}

TEST(RedirectionArguments, ProgramQuotedAndPercentSignsLeftForRedRun) {
    EXPECT_EQ(RedirectionArguments("C:\\Program Files\\Vellum", "vellum"),
              R"("C:\Program Files\Vellum\vellum.exe" %%1)");
    EXPECT_EQ(RedirectionArguments("C:\\", "VELLUM"), R"("C:\\VELLUM.exe" %%1)")
        << "the folder as reported, even with its separator";
    EXPECT_EQ(RedirectionArguments("D:\\100%\\%d", "vellum"), R"("D:\100%%\%%d\vellum.exe" %%1)")
        << "RedMon would substitute a lone % in the path";
}

}  // namespace vellum::config
