#include "config/frm_config.h"

#include <utility>

#include "config/redirection_arguments.h"
#include "settings/settings.h"
#include "toolkit/text.h"
#include "toolkit/error_report.h"

namespace vellum::config {

using settings::Settings;
using toolkit::Icon;
using toolkit::ReportForm;
using toolkit::RuntimeError;

namespace {

constexpr const char* kExeFilter = "Executable Files (*.exe)|*.exe|All Files (*.*)|*.*";
constexpr const char* kFolderStart = "C:\\";

// A blank autoName is the default, shown as such.
std::string ShownAutoName(const std::string& stored) {
    return toolkit::TrimSpaces(stored).empty() ? settings::kDefaultAutoName : stored;
}

}  // namespace

// The Open dialog's cancel is silent; any other failure is shown.
bool FrmConfig::IsCancel(const RuntimeError& e) const {
    return c_.dlg.CancelError && e.Number() == toolkit::kErrCommonDialogCancel;
}

std::string AboutVersionLine(const toolkit::AppInfo& app) {
    return "Vellum v" + std::to_string(app.major) + "." + std::to_string(app.minor) +
           std::to_string(app.revision) + " : PDF Writer for Ghostscript.";
}

std::string AboutText(const toolkit::AppInfo& app) {
    return AboutVersionLine(app) + "\r\n" + "Written by the Vellum team." + "\r\n" +
           "Questions and reports: vellum@vellum.invalid";
}

FrmConfig::FrmConfig(ConfigControls controls, ConfigServices services)
    : c_(std::move(controls)), s_(std::move(services)) {}

void FrmConfig::Form_Load() {
    registry = s_.registry.Create();
    c_.ssConfig.SetTab(static_cast<int>(ConfigTab::Ghostscript));
    for (toolkit::Control* control : c_.controls)
        if (auto* button = dynamic_cast<toolkit::CommandButton*>(control))
            shell::SetEdgeStyle(s_.windows, *button, true);
    for (toolkit::TextBox* box : {&c_.txtRRexe, &c_.txtgsdir, &c_.txtgsfonts, &c_.txtgslib})
        shell::EnableAutoComplete(s_.windows, *box, shell::kShacfFileSystem);
    const std::vector<std::string> redMonPorts = FillPortList(s_.spooler, c_.cmbPorts);
    LoadRedirectionSettings();
    // No port can exist under protected print mode or on ARM64: why the port is missing, said
    // plainly.
    if (const std::string problem = MissingPortProblem(s_.platform, rmPort, redMonPorts);
        !problem.empty()) {
        c_.ssConfig.SetTab(static_cast<int>(ConfigTab::RedMon));
        s_.msgBox.Show(problem, "Vellum", Icon::Warning);
    }
    c_.txtRRexe.SetText(rmExe);
    if (!toolkit::TrimSpaces(rmPort).empty()) c_.cmbPorts.SetText(rmPort);
    c_.txtgsdir.SetText(Settings.gsExe);
    c_.txtgsfonts.SetText(Settings.gsFonts);
    c_.txtgslib.SetText(Settings.gsLib);
    // Trimmed as the convert mode reads it: " 1" mails, so it must show checked, or the next
    // save would turn mailing off.
    c_.chkMail.SetValue(toolkit::TrimSpaces(Settings.sendMail) == "1" ? 1 : 0);
    c_.txtPDFDir.SetText(Settings.defDir);
    LoadSaving();
}

void FrmConfig::LoadSaving() {
    SavingControls& t = c_.saving;
    const bool automatic = Settings.saveMode == settings::kAutoMode;
    t.optAsk.SetValue(automatic ? 0 : 1);
    t.optAuto.SetValue(automatic ? 1 : 0);
    // The folder automatic saving uses: its own, else the default PDF folder, which is shown
    // but stays the default (followed when it changes) until the user changes the field.
    autoDirDefault_ = Settings.autoDir.empty() ? Settings.defDir : "";
    t.txtAutoDir.SetText(Settings.autoDir.empty() ? Settings.defDir : Settings.autoDir);
    autoNameLoaded_ = Settings.autoName;
    t.txtAutoName.SetText(ShownAutoName(Settings.autoName));
    const bool append = Settings.autoExisting == settings::kAppendExisting;
    t.optUnique.SetValue(append ? 0 : 1);
    t.optAppend.SetValue(append ? 1 : 0);
    t.chkOpenPdf.SetValue(Settings.openPdf == "1" ? 1 : 0);
    t.cmbQuality.Clear();
    std::string shown = kQualityEntries[0].text;
    for (const QualityEntry& entry : kQualityEntries) {
        t.cmbQuality.AddItem(entry.text);
        if (Settings.pdfQuality == entry.value) shown = entry.text;
    }
    t.cmbQuality.SetText(shown);
    t.chkPdfA.SetValue(Settings.pdfA == settings::kPdfA2 ? 1 : 0);
}

bool FrmConfig::AutoDirValid() {
    SavingControls& t = c_.saving;
    if (t.optAuto.Value() != 1) return true;
    const std::string folder = toolkit::TrimSpaces(t.txtAutoDir.Text());
    std::string problem;
    if (folder.empty()) {
        problem = "Choose the folder where PDFs are saved automatically.";
    } else if (folder.find_first_of("%<") == std::string::npos && !s_.files.FolderExists(folder)) {
        // A folder named with variables is only known at print time.
        problem = "The folder for automatic saving was not found:\r\n" + folder;
    }
    if (problem.empty()) return true;
    c_.ssConfig.SetTab(static_cast<int>(ConfigTab::Saving));
    Box().Show(problem, "Error!", Icon::Error);
    shell::SelectAllAndFocus(t.txtAutoDir);
    return false;
}

void FrmConfig::StoreSaving() {
    SavingControls& t = c_.saving;
    Settings.saveMode = t.optAuto.Value() == 1 ? settings::kAutoMode : settings::kAskMode;
    const std::string autoDir = toolkit::TrimSpaces(t.txtAutoDir.Text());
    Settings.autoDir = autoDir == toolkit::TrimSpaces(autoDirDefault_) ? "" : autoDir;
    // Not checked: an unknown token is kept as written and the name rules replace what Windows
    // forbids in a name, both at print time.
    const std::string autoName = toolkit::TrimSpaces(t.txtAutoName.Text());
    Settings.autoName = autoName == toolkit::TrimSpaces(ShownAutoName(autoNameLoaded_))
                            ? autoNameLoaded_
                            : autoName;
    Settings.autoExisting =
        t.optAppend.Value() == 1 ? settings::kAppendExisting : settings::kUniqueExisting;
    Settings.openPdf = std::to_string(t.chkOpenPdf.Value());
    Settings.pdfQuality = settings::kDefaultQuality;
    for (const QualityEntry& entry : kQualityEntries)
        if (t.cmbQuality.Text() == entry.text) Settings.pdfQuality = entry.value;
    Settings.pdfA = t.chkPdfA.Value() == 1 ? settings::kPdfA2 : "0";
}

void FrmConfig::Form_Unload() {
    registry.reset();
    if (holdingJob_) {
        outcome_ = saved_ ? ConfigOutcome::Saved : ConfigOutcome::Closed;
        jobMsgBox_ = nullptr;
        return;
    }
    s_.program.End();
}

std::string WaitingJobLine(const std::string& document) {
    return (document.empty() ? std::string("A print job") : "The print job \"" + document + "\"") +
           " is waiting: it is converted once the settings are saved.";
}

std::string DiscardJobQuestion(const std::string& document) {
    return (document.empty() ? std::string("A print job") : "The print job \"" + document + "\"") +
           " is waiting to be converted.\r\n\r\nDiscard it? Choose No to go back and save the "
           "settings, which converts it.";
}

bool FrmConfig::Form_QueryUnload() {
    if (!holdingJob_ || saved_) return true;
    return Box().Ask(DiscardJobQuestion(heldDocument_), "Configure Vellum", Icon::Question,
                     toolkit::Buttons::YesNo) == toolkit::Answer::Yes;
}

void FrmConfig::HoldJob(const std::string& document, toolkit::MsgBox& msgBox) {
    jobMsgBox_ = &msgBox;
    heldDocument_ = document;
    holdingJob_ = true;
    saved_ = false;
    outcome_.reset();
}

void FrmConfig::cmdSave_Click() {
    try {
        if (!s_.files.FileExists(c_.txtgsdir.Text())) {
            // The field is focused where the user can see it, not on a hidden tab.
            c_.ssConfig.SetTab(static_cast<int>(ConfigTab::Ghostscript));
            Box().Show("Ghostscript executable not found.", "Error!", Icon::Error);
            shell::SelectAllAndFocus(c_.txtgsdir);
            return;
        }
        if (!AutoDirValid()) return;
        Settings.gsExe = c_.txtgsdir.Text();
        Settings.gsFonts = c_.txtgsfonts.Text();
        Settings.gsLib = c_.txtgslib.Text();
        Settings.sendMail = std::to_string(c_.chkMail.Value());
        Settings.defDir = c_.txtPDFDir.Text();
        StoreSaving();
        // An elevated process refused by HKLM has no one to ask: that is a failed Save.
        std::vector<std::string> refused;
        const bool mayElevate = s_.elevation != nullptr && !s_.elevation->IsElevated();
        refused_ = mayElevate ? &refused : nullptr;
        // Binding the port after a failed store would leave settings and port out of step.
        const bool stored = settings::SaveSettings(Settings, s_.registry, Box(), refused_);
        const bool bound = stored && ApplyRedirectionSettings();
        refused_ = nullptr;
        if (!stored) return;
        // Saved means all of it, a held job's Save too: the window stays open on what failed,
        // and the user may fix it or discard the job.
        if (bound && (refused.empty() || SaveElevated(refused))) {
            saved_ = true;
            Form_Unload();
            return;
        }
        if (!bound) c_.ssConfig.SetTab(static_cast<int>(ConfigTab::RedMon));
    } catch (const RuntimeError& e) {
        refused_ = nullptr;
        toolkit::ErrorReport(Box(), ReportForm::LongOneSpace, e);
    }
}

bool FrmConfig::SaveElevated(const std::vector<std::string>& refused) {
    const toolkit::ElevatedRun run = s_.elevation->RunElevated(
        MachineCommand({Settings.gsExe, Settings.gsFonts, Settings.gsLib, rmExe, rmPort}));
    switch (run.state) {
        case toolkit::ElevatedRun::State::Finished:
            if (run.exitCode == kMachineDone) return true;
            Box().Show(run.exitCode == kMachineNoPort ? "Unable to find RedMon Port"
                       : run.exitCode == kMachinePortRefused
                           ? "Unable to update RedMon Port"
                           : "Vellum settings could not be saved.",
                       "Error!", Icon::Error);
            return false;
        case toolkit::ElevatedRun::State::Declined:
            Box().Show(
                "Your own settings were saved. Not saved, because Windows did not get "
                "an administrator's consent: " +
                    MachineSettingLabels(refused) +
                    ".\r\n\r\nThese belong to the whole computer; an administrator "
                    "can save them here.",
                "Configure Vellum", Icon::Warning);
            return false;
        case toolkit::ElevatedRun::State::Failed:
            break;
    }
    Box().Show("Vellum settings could not be saved.\r\n" + run.error, "Error!", Icon::Error);
    return false;
}

std::string FrmConfig::FolderStart(toolkit::TextBox& field) {
    const std::string folder = field.Text();
    return s_.files.FolderExists(folder) ? folder : kFolderStart;
}

void FrmConfig::cmdCancel_Click() {
    if (Form_QueryUnload()) Form_Unload();
}

void FrmConfig::cmdAbout_Click() {
    Box().Show(AboutText(s_.app), "About", Icon::Information);
}

void FrmConfig::PickExecutable(const std::string& title, toolkit::TextBox& target) {
    c_.dlg.DialogTitle = title;
    c_.dlg.FileName = "";
    c_.dlg.Flags = toolkit::kOfnHideReadOnly;
    c_.dlg.Filter = kExeFilter;
    c_.dlg.InitDir = s_.app.path;
    c_.dlg.CancelError = true;
    c_.dlg.ShowOpen();
    target.SetText(c_.dlg.FileName);
}

void FrmConfig::cmdBrowse_Click(int index) {
    try {
        // A cancelled folder browser keeps what the user had typed.
        auto browseInto = [&](const char* title, toolkit::TextBox& target) {
            const std::string folder =
                s_.folders.BrowseForFolder(c_.window.Hwnd(), title, FolderStart(target));
            if (!folder.empty()) target.SetText(folder);
        };
        switch (index) {
            case 0:
                PickExecutable("Select Ghostscript Command Line Executable", c_.txtgsdir);
                break;
            case 1:
                browseInto("Select Ghostscript Fonts Directory", c_.txtgsfonts);
                break;
            case 2:
                browseInto("Select Ghostscript Lib Directory", c_.txtgslib);
                break;
            default:
                break;
        }
    } catch (const RuntimeError& e) {
        if (!IsCancel(e)) toolkit::ErrorReport(Box(), ReportForm::Short, e);
    }
}

void FrmConfig::cmdBrowseRM_Click(int /*index*/) {
    try {
        PickExecutable("Select RedRun Executable", c_.txtRRexe);
    } catch (const RuntimeError& e) {
        if (!IsCancel(e)) toolkit::ErrorReport(Box(), ReportForm::Short, e);
    }
}

void FrmConfig::cmdPDFDir_Click(int /*index*/) {
    const std::string folder = s_.folders.BrowseForFolder(
        c_.window.Hwnd(), "Select Default PDF Document Directory", FolderStart(c_.txtPDFDir));
    if (!folder.empty()) c_.txtPDFDir.SetText(folder);
}

void FrmConfig::cmdAutoDir_Click() {
    const std::string folder =
        s_.folders.BrowseForFolder(c_.window.Hwnd(), "Select the Folder for Automatic Saving",
                                   FolderStart(c_.saving.txtAutoDir));
    if (!folder.empty()) c_.saving.txtAutoDir.SetText(folder);
}

void FrmConfig::LoadRedirectionSettings() {
    try {
        bool ok = false;
        registry->ReadString(registry::kHkeyLocalMachine, registry::kSettingsKey, "rmExe", rmExe,
                             ok);
        regOk = ok;
        registry->ReadString(registry::kHkeyLocalMachine, registry::kSettingsKey, "rmPort", rmPort,
                             ok);
        regOk = ok;
    } catch (const RuntimeError& e) {
        toolkit::ErrorReport(Box(), ReportForm::Long, e);
    }
}

bool FrmConfig::ApplyRedirectionSettings() {
    try {
        if (!s_.files.FileExists(c_.txtRRexe.Text())) {
            c_.ssConfig.SetTab(static_cast<int>(ConfigTab::RedMon));
            Box().Show("RedRun executable not found.", "Error!", Icon::Error);
            shell::SelectAllAndFocus(c_.txtRRexe);
            return false;
        }
        rmExe = c_.txtRRexe.Text();
        rmPort = c_.cmbPorts.Text();
        rmArgs = RedirectionArguments(s_.app.path, s_.app.exeName);
        rmCommand = rmExe;
        return UpdateRedirectionPort();
    } catch (const RuntimeError& e) {
        toolkit::ErrorReport(Box(), ReportForm::LongOneSpace, e);
        return false;
    }
}

bool FrmConfig::UpdateRedirectionPort() {
    try {
        switch (BindPort(*registry, rmExe, rmPort, rmArgs, refused_)) {
            case PortBinding::Bound:
                regOk = true;
                return true;
            case PortBinding::NoPort:
                regOk = false;
                Box().Show("Unable to find RedMon Port", "Error!", Icon::Error);
                return false;
            case PortBinding::Refused:
                break;
        }
        regOk = false;
        Box().Show("Unable to update RedMon Port", "Error!", Icon::Error);
        return false;
    } catch (const RuntimeError& e) {
        toolkit::ErrorReport(Box(), ReportForm::Long, e);
        return false;
    }
}

}  // namespace vellum::config
