#pragma once

// The configuration window's behaviour: its load, save, cancel, about and browse handlers and
// the RedMon port binding, driven through control interfaces so that tests run them on fakes.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "config/config_window.h"
#include "config/machine_part.h"
#include "config/ports.h"
#include "config/print_platform.h"
#include "registry/registry_access.h"
#include "shell/folder_browser.h"
#include "shell/window_helpers.h"
#include "toolkit/file_system.h"
#include "toolkit/app_info.h"
#include "toolkit/common_dialog.h"
#include "toolkit/elevation.h"
#include "toolkit/controls.h"
#include "toolkit/msg_box.h"
#include "toolkit/program.h"
#include "toolkit/runtime_error.h"

namespace vellum::config {

// The "Saving" tab: how a printed document is saved.
struct SavingControls {
    toolkit::CheckBox& optAsk;   // the two option buttons: ask, or save automatically
    toolkit::CheckBox& optAuto;  // in txtAutoDir
    toolkit::TextBox& txtAutoDir;
    toolkit::TextBox& txtAutoName;  // autoName, the name template
    toolkit::CheckBox& optUnique;   // the two option buttons of autoExisting: unique, append
    toolkit::CheckBox& optAppend;
    toolkit::CheckBox& chkOpenPdf;
    toolkit::ComboBox& cmbQuality;
    toolkit::CheckBox& chkPdfA;
};

// The quality list's entries, in order, with the setting each stands for.
struct QualityEntry {
    const char* text;
    const char* value;
};
inline constexpr QualityEntry kQualityEntries[] = {{"Default", "default"},
                                                   {"Smallest file (screen)", "screen"},
                                                   {"Medium (ebook)", "ebook"},
                                                   {"High (printer)", "printer"},
                                                   {"Highest (prepress)", "prepress"}};

struct ConfigControls {
    toolkit::TabControl& ssConfig;
    toolkit::CommandButton& cmdAbout;
    toolkit::CommandButton& cmdSave;
    toolkit::CommandButton& cmdCancel;
    toolkit::TextBox& txtgsdir;
    toolkit::TextBox& txtgsfonts;
    toolkit::TextBox& txtgslib;
    toolkit::TextBox& txtRRexe;
    toolkit::TextBox& txtPDFDir;
    toolkit::ComboBox& cmbPorts;
    toolkit::CheckBox& chkMail;
    toolkit::CommonDialog& dlg;
    std::vector<toolkit::Control*> controls;  // the window's Controls collection
    toolkit::Control& window;                 // the window itself, owner of its dialogs
    SavingControls saving;
};

struct ConfigServices {
    registry::RegistryFactory& registry;
    toolkit::FileSystem& files;
    toolkit::MsgBox& msgBox;
    shell::WindowApi& windows;
    shell::FolderBrowser& folders;
    Spooler& spooler;
    toolkit::Program& program;
    toolkit::AppInfo app;
    // Asked for an administrator's rights when HKLM refuses the machine's part of a Save; none:
    // a refusal is a failed Save.
    toolkit::Elevation* elevation = nullptr;
    PrintPlatform platform = {};  // protected print mode and ARM64 leave the port missing
};

// The first line of the About box: "Vellum v1.02 : PDF Writer for Ghostscript." for 1.0.2.
std::string AboutVersionLine(const toolkit::AppInfo& app);
std::string AboutText(const toolkit::AppInfo& app);

class FrmConfig {
public:
    FrmConfig(ConfigControls controls, ConfigServices services);

    // Failures reach the code that loaded the window.
    void Form_Load();
    void Form_Unload();

    void cmdSave_Click();
    void cmdCancel_Click();
    void cmdAbout_Click();
    void cmdBrowse_Click(int index);
    void cmdBrowseRM_Click(int index);
    void cmdPDFDir_Click(int index);
    void cmdAutoDir_Click();

    // While start-up holds the print job `document` (its name, or ""), the unload closes the
    // window without ending the program; Outcome() then says how it was closed (nothing while
    // it is open). Until then every message and question goes through `msgBox`, the job's.
    void HoldJob(const std::string& document, toolkit::MsgBox& msgBox);
    // Whether the window may close now: while a job is held and not saved, the user is asked
    // before it is discarded (Esc, the close box and Cancel come here).
    bool Form_QueryUnload();
    std::optional<ConfigOutcome> Outcome() const { return outcome_; }

    // The RedMon port binding.
    void LoadRedirectionSettings();
    bool ApplyRedirectionSettings();
    bool UpdateRedirectionPort();

private:
    // The machine's part that HKLM refused, saved by this program run elevated; false after
    // telling the user what was not saved.
    bool SaveElevated(const std::vector<std::string>& refused);
    // Where messages go: the held job's box while one is held, else the window's own.
    toolkit::MsgBox& Box() { return jobMsgBox_ != nullptr ? *jobMsgBox_ : s_.msgBox; }
    void PickExecutable(const std::string& title, toolkit::TextBox& target);
    bool IsCancel(const toolkit::RuntimeError& e) const;
    // Where the folder browser opens: the field's folder when it exists, else the drive's root.
    std::string FolderStart(toolkit::TextBox& field);
    void LoadSaving();
    // False, after telling the user and showing the field, when automatic saving is chosen
    // without a folder it can use.
    bool AutoDirValid();
    void StoreSaving();

    ConfigControls c_;
    ConfigServices s_;

    // The window's fields, in their order of declaration: the RedRun executable and the port as
    // stored, the registry component from load to unload, the last registry call's result, and
    // the values the port binding writes.
    std::string rmExe;
    std::string rmPort;
    std::unique_ptr<registry::RegistryAccess> registry;
    bool regOk = false;
    std::string rmArgs;
    std::string rmCommand;
    bool holdingJob_ = false;
    std::string heldDocument_;
    bool saved_ = false;
    std::string autoDirDefault_;  // the default the Saving tab shows for an empty autoDir
    std::string autoNameLoaded_;  // autoName as loaded, kept while its field is left as shown
    toolkit::MsgBox* jobMsgBox_ = nullptr;
    std::optional<ConfigOutcome> outcome_;
    // While a Save may ask for elevation: the machine values HKLM refused so far.
    std::vector<std::string>* refused_ = nullptr;
};

}  // namespace vellum::config
