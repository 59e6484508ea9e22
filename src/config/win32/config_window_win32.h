#pragma once

// The configuration window "Configure Vellum": creates its controls where the form's design
// puts them and routes their events to FrmConfig, which holds the behaviour.

#include <memory>

#include "config/config_window.h"
#include "config/frm_config.h"
#include "toolkit/win32/controls_win32.h"
#include "toolkit/win32/window.h"

namespace vellum::win32 {

class ConfigWindow : public config::ConfigWindow, private Window {
public:
    // `services` must outlive the window; `dialogs` backs its common dialog.
    ConfigWindow(config::ConfigServices services, toolkit::FileDialogs& dialogs);
    ~ConfigWindow() override;

    void Show() override;
    void SelectTab(config::ConfigTab tab) override;
    void Focus(config::ConfigField field) override;
    toolkit::CommonDialog& Dlg() override;
    config::ConfigOutcome HoldUntilClosed(const std::string& document,
                                          toolkit::MsgBox& msgBox) override;

private:
    // Loading runs Form_Load on the controls' kept state; the windows themselves are made only
    // when the window is first shown (loaded for its Save As dialog alone, it never is).
    void EnsureLoaded();
    void EnsureCreated();
    void CreateControls();
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnCommand(int id);
    // The line below the buttons that says a job waits; the window grows to hold it.
    void ShowWaitingJob(const std::string& document);
    // Where an untrapped error is reported: the held job's box while one is held.
    toolkit::MsgBox& Box() { return jobMsgBox_ != nullptr ? *jobMsgBox_ : services_.msgBox; }

    config::ConfigServices services_;
    toolkit::CommonDialog dlg_;

    FormControl window_;
    TabControl ssConfig_{std::vector<std::string>{"Ghostscript", "RedMon", "Vellum", "Saving"}};
    Button cmdAbout_, cmdSave_, cmdCancel_;
    Frame frGS_, frRM_, frVellum_;
    Label lblGSDir_, lblGSfonts_, lblGSlib_, lblRRexe_, lblRMPort_, lblPDFDir_;
    Button cmdBrowse_[3], cmdBrowseRM_, cmdPDFDir_;
    TextBox txtgsdir_, txtgsfonts_, txtgslib_, txtRRexe_, txtPDFDir_;
    ComboBox cmbPorts_;
    CheckBox chkMail_;
    // The "Saving" tab.
    Frame frSaving_;
    Label lblWhenPrinted_, lblAutoName_, lblTokens_, lblExisting_, lblQuality_;
    CheckBox optAsk_, optAuto_, optUnique_, optAppend_, chkOpenPdf_, chkPdfA_;
    TextBox txtAutoDir_, txtAutoName_;
    Button cmdAutoDir_;
    ComboBox cmbQuality_;
    std::vector<toolkit::Control*> controls_;
    HWND lblWaiting_ = nullptr;  // a child of the window, which destroys it
    toolkit::MsgBox* jobMsgBox_ = nullptr;

    std::unique_ptr<config::FrmConfig> form_;
};

}  // namespace vellum::win32
