#include "config/win32/config_window_win32.h"

#include <commctrl.h>

#include "config/config_ids.h"
#include "config/win32/print_platform_win32.h"
#include "toolkit/program.h"
#include "toolkit/win32/top_level.h"
#include "toolkit/win32/strings.h"

namespace vellum::win32 {

namespace ids = config::ids;

namespace {

constexpr wchar_t kClassName[] = L"VellumConfigure";
constexpr DWORD kEditStyle = WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD kButtonStyle = WS_TABSTOP | BS_PUSHBUTTON;
constexpr Twips kFramePosition{120, 420, 5420, 4230};

HWND MakeLabel(HWND parent, const char* text, const Twips& position, int id) {
    return CreateControl(parent, WC_STATICW, text, SS_LEFTNOWORDWRAP, 0, position, id);
}

HWND MakeEdit(HWND parent, const Twips& position, int id) {
    return CreateControl(parent, WC_EDITW, "", kEditStyle, WS_EX_CLIENTEDGE, position, id);
}

HWND MakeButton(HWND parent, const char* text, const Twips& position, int id) {
    return CreateControl(parent, WC_BUTTONW, text, kButtonStyle, 0, position, id);
}

}  // namespace

ConfigWindow::ConfigWindow(config::ConfigServices services, toolkit::FileDialogs& dialogs)
    : services_(std::move(services)), dlg_(dialogs, "Save As") {}

// The window goes first, so that no message reaches the form or a control while they go; then
// the form, which refers to the controls; the controls last.
ConfigWindow::~ConfigWindow() {
    Destroy();
    form_.reset();
}

void ConfigWindow::EnsureLoaded() {
    if (form_ != nullptr) return;
    controls_ = {
        &cmdSave_,    &cmdAbout_,    &ssConfig_,       &cmdCancel_,    &frGS_,         &txtgsdir_,
        &txtgsfonts_, &txtgslib_,    &cmdBrowse_[0],   &cmdBrowse_[1], &cmdBrowse_[2], &lblGSDir_,
        &lblGSfonts_, &lblGSlib_,    &frRM_,           &txtRRexe_,     &cmdBrowseRM_,  &lblRRexe_,
        &lblRMPort_,  &cmbPorts_,    &frVellum_,       &chkMail_,      &cmdPDFDir_,    &txtPDFDir_,
        &lblPDFDir_,  &frSaving_,    &lblWhenPrinted_, &optAsk_,       &optAuto_,      &txtAutoDir_,
        &cmdAutoDir_, &lblAutoName_, &txtAutoName_,    &lblTokens_,    &lblExisting_,  &optUnique_,
        &optAppend_,  &chkOpenPdf_,  &lblQuality_,     &cmbQuality_,   &chkPdfA_};
    config::ConfigControls controls{ssConfig_,
                                    cmdAbout_,
                                    cmdSave_,
                                    cmdCancel_,
                                    txtgsdir_,
                                    txtgsfonts_,
                                    txtgslib_,
                                    txtRRexe_,
                                    txtPDFDir_,
                                    cmbPorts_,
                                    chkMail_,
                                    dlg_,
                                    controls_,
                                    window_,
                                    {optAsk_, optAuto_, txtAutoDir_, txtAutoName_, optUnique_,
                                     optAppend_, chkOpenPdf_, cmbQuality_, chkPdfA_}};
    // Asked only when the window opens: a print job never pays for it.
    services_.platform = ReadPrintPlatform();
    form_ = std::make_unique<config::FrmConfig>(std::move(controls), services_);
    try {
        form_->Form_Load();
    } catch (...) {
        // A window whose load failed is not loaded; the next use tries again.
        form_.reset();
        throw;
    }
}

void ConfigWindow::EnsureCreated() {
    EnsureLoaded();
    if (Hwnd() != nullptr) return;
    CreateTopLevel(kClassName, "Configure Vellum", kFormStyle, 5865, 5580,
                   LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1)));
    window_.Attach(Hwnd());
    CreateControls();
    dlg_.owner = reinterpret_cast<std::uintptr_t>(Hwnd());
}

void ConfigWindow::CreateControls() {
    const HWND form = Hwnd();
    // Each wrapper hands the state its load gave it to its new window.
    auto add = [](auto& wrapper, HWND hwnd) { wrapper.Attach(hwnd); };

    // Created in tab order within each container: dialog navigation follows creation order.
    add(cmdSave_, MakeButton(form, "Sa&ve", {2670, 5055, 1380, 375}, ids::kSave));
    // The shield says that Save may ask for an administrator's consent (for the machine's part).
    if (services_.elevation != nullptr && !services_.elevation->IsElevated())
        SendMessageW(GetDlgItem(form, ids::kSave), BCM_SETSHIELD, 0, TRUE);
    add(cmdAbout_, MakeButton(form, "&About", {165, 5055, 1380, 375}, ids::kAbout));
    const HWND tabs =
        CreateControl(form, WC_TABCONTROLW, "", WS_TABSTOP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                      WS_EX_CONTROLPARENT, {60, 90, 5670, 4815}, ids::kTabs);
    add(ssConfig_, tabs);
    add(cmdCancel_, MakeButton(form, "&Cancel", {4335, 5055, 1380, 375}, ids::kCancel));

    const HWND gs = CreateFrame(tabs, "Ghostscript Settings", kFramePosition, ids::kFrameGs);
    add(frGS_, gs);
    add(txtgsdir_, MakeEdit(gs, {120, 660, 5040, 285}, ids::kGsDir));
    add(txtgsfonts_, MakeEdit(gs, {120, 1365, 5040, 285}, ids::kGsFonts));
    add(txtgslib_, MakeEdit(gs, {120, 2070, 5040, 285}, ids::kGsLib));
    add(cmdBrowse_[0], MakeButton(gs, "Bro&wse", {3750, 285, 1395, 345}, ids::kBrowseGsExe));
    add(cmdBrowse_[1], MakeButton(gs, "Bro&wse", {3750, 990, 1395, 345}, ids::kBrowseGsFonts));
    add(cmdBrowse_[2], MakeButton(gs, "Bro&wse", {3750, 1710, 1395, 345}, ids::kBrowseGsLib));
    add(lblGSDir_,
        MakeLabel(gs, "Ghostscript Executable:", {120, 315, 1830, 285}, ids::kLabelGsDir));
    add(lblGSfonts_,
        MakeLabel(gs, "Ghostscript Fonts Directory:", {120, 1020, 1965, 285}, ids::kLabelGsFonts));
    add(lblGSlib_,
        MakeLabel(gs, "Ghostscript lib Directory:", {120, 1725, 1905, 285}, ids::kLabelGsLib));

    const HWND rm = CreateFrame(tabs, "RedMon Settings", kFramePosition, ids::kFrameRm);
    add(frRM_, rm);
    add(txtRRexe_, MakeEdit(rm, {150, 930, 5010, 285}, ids::kRrExe));
    add(cmdBrowseRM_, MakeButton(rm, "Bro&wse", {3780, 555, 1395, 345}, ids::kBrowseRm));
    add(lblRRexe_, MakeLabel(rm, "RedRun Executable:", {150, 585, 1830, 285}, ids::kLabelRrExe));
    add(lblRMPort_,
        MakeLabel(rm, "RedMon Port to configure:", {150, 1290, 1965, 285}, ids::kLabelRmPort));
    // Created taller than shown: the extra height is the drop-down list.
    const HWND ports =
        CreateControl(rm, WC_COMBOBOXW, "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0,
                      {150, 1530, 5010, 315 + 2400}, ids::kPorts);
    SendMessageW(ports, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), TwipsToPixelsY(315) - 6);
    add(cmbPorts_, ports);

    const HWND vellum = CreateFrame(tabs, "Vellum Settings", kFramePosition, ids::kFrameVellum);
    add(frVellum_, vellum);
    add(chkMail_,
        CreateControl(vellum, WC_BUTTONW, "Send PDF document by email after save",
                      WS_TABSTOP | BS_AUTOCHECKBOX, 0, {120, 360, 3255, 285}, ids::kMail));
    add(cmdPDFDir_, MakeButton(vellum, "Bro&wse", {3720, 780, 1395, 345}, ids::kBrowsePdfDir));
    add(txtPDFDir_, MakeEdit(vellum, {120, 1155, 5010, 285}, ids::kPdfDir));
    add(lblPDFDir_, MakeLabel(vellum, "Default PDF Document Directory:", {120, 810, 3285, 255},
                              ids::kLabelPdfDir));

    // Top to bottom, which is also the tab order.
    const HWND saving = CreateFrame(tabs, "Saving Settings", kFramePosition, ids::kFrameSaving);
    add(frSaving_, saving);
    add(lblWhenPrinted_, MakeLabel(saving, "When a document is printed:", {120, 300, 3600, 255},
                                   ids::kLabelWhenPrinted));
    add(optAsk_, CreateControl(saving, WC_BUTTONW, "As&k where to save the PDF",
                               WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, 0, {240, 570, 4800, 285},
                               ids::kAskWhere));
    add(optAuto_, CreateControl(saving, WC_BUTTONW, "Save it a&utomatically in:",
                                BS_AUTORADIOBUTTON, 0, {240, 855, 4800, 285}, ids::kSaveAuto));
    add(txtAutoDir_, CreateControl(saving, WC_EDITW, "", kEditStyle | WS_GROUP, WS_EX_CLIENTEDGE,
                                   {480, 1185, 3600, 285}, ids::kAutoDir));
    add(cmdAutoDir_, MakeButton(saving, "Bro&wse", {4170, 1155, 1095, 345}, ids::kBrowseAutoDir));
    // How a PDF saved without asking is named, under the folder it goes to; the label's key
    // moves to the field, created next.
    add(lblAutoName_,
        MakeLabel(saving, "Na&me the PDF:", {480, 1590, 1230, 255}, ids::kLabelAutoName));
    add(txtAutoName_, MakeEdit(saving, {1740, 1560, 3525, 285}, ids::kAutoName));
    add(lblTokens_, MakeLabel(saving, "<title> <user> <date> <time> <printer> <computer>",
                              {480, 1875, 4785, 255}, ids::kAutoNameTokens));
    add(lblExisting_, MakeLabel(saving, "When a PDF of that name exists:", {480, 2220, 3600, 255},
                                ids::kLabelExisting));
    add(optUnique_, CreateControl(saving, WC_BUTTONW, "Save a &new one numbered (2), (3), ...",
                                  WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, 0,
                                  {600, 2490, 4665, 285}, ids::kUnique));
    add(optAppend_, CreateControl(saving, WC_BUTTONW, "Add the &pages at its end",
                                  BS_AUTORADIOBUTTON, 0, {600, 2775, 4665, 285}, ids::kAppend));
    // Its group mark ends the option buttons' group above.
    add(chkOpenPdf_, CreateControl(saving, WC_BUTTONW, "&Open the PDF after saving",
                                   WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX, 0,
                                   {120, 3180, 4800, 285}, ids::kOpenPdf));
    add(lblQuality_,
        MakeLabel(saving, "PDF &quality:", {120, 3570, 1140, 255}, ids::kLabelQuality));
    const HWND quality =
        CreateControl(saving, WC_COMBOBOXW, "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0,
                      {1320, 3525, 3000, 315 + 1500}, ids::kQuality);
    SendMessageW(quality, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), TwipsToPixelsY(315) - 6);
    add(cmbQuality_, quality);
    add(chkPdfA_,
        CreateControl(saving, WC_BUTTONW, "PDF/A-2b for a&rchiving", WS_TABSTOP | BS_AUTOCHECKBOX,
                      0, {120, 3900, 4800, 285}, ids::kPdfA));

    ssConfig_.AddPage(gs);
    ssConfig_.AddPage(rm);
    ssConfig_.AddPage(vellum);
    ssConfig_.AddPage(saving);
    ssConfig_.ShowCurrentPage();
}

void ConfigWindow::Show() {
    EnsureCreated();
    ShowWindow(Hwnd(), SW_SHOW);
    SetForegroundWindow(Hwnd());
    UpdateWindow(Hwnd());
}

void ConfigWindow::SelectTab(config::ConfigTab tab) {
    EnsureLoaded();
    ssConfig_.SetTab(static_cast<int>(tab));
}

void ConfigWindow::Focus(config::ConfigField field) {
    EnsureLoaded();
    switch (field) {
        case config::ConfigField::GsExe:
            txtgsdir_.SetFocus();
            break;
        case config::ConfigField::GsLib:
            txtgslib_.SetFocus();
            break;
        case config::ConfigField::PdfDir:
            txtPDFDir_.SetFocus();
            break;
        case config::ConfigField::AutoDir:
            txtAutoDir_.SetFocus();
            break;
    }
}

toolkit::CommonDialog& ConfigWindow::Dlg() {
    EnsureLoaded();
    return dlg_;
}

void ConfigWindow::ShowWaitingJob(const std::string& document) {
    const std::string line = config::WaitingJobLine(document);
    if (lblWaiting_ != nullptr) {
        SetWindowTextW(lblWaiting_, Widen(line).c_str());
        return;
    }
    constexpr int kLineTwips = 360;
    RECT frame{};
    GetWindowRect(Hwnd(), &frame);
    SetWindowPos(Hwnd(), nullptr, 0, 0, frame.right - frame.left,
                 frame.bottom - frame.top + TwipsToPixelsY(kLineTwips),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    lblWaiting_ = CreateControl(Hwnd(), WC_STATICW, line, SS_LEFTNOWORDWRAP | SS_ENDELLIPSIS, 0,
                                {165, 5580, 5550, 255}, ids::kWaitingJob);
}

config::ConfigOutcome ConfigWindow::HoldUntilClosed(const std::string& document,
                                                    toolkit::MsgBox& msgBox) {
    EnsureCreated();
    ShowWaitingJob(document);
    if (!IsWindowVisible(Hwnd())) Show();
    form_->HoldJob(document, msgBox);
    jobMsgBox_ = &msgBox;
    const bool closed = RunMessageLoopUntil([this] { return form_->Outcome().has_value(); });
    jobMsgBox_ = nullptr;
    if (!closed) return config::ConfigOutcome::Ended;
    const config::ConfigOutcome outcome = *form_->Outcome();
    ShowWindow(Hwnd(), SW_HIDE);
    // Unloaded, as its unload said: the next use loads it again, on the controls it has.
    form_.reset();
    return outcome;
}

void ConfigWindow::OnCommand(int id) {
    config::FrmConfig& form = *form_;
    auto untrapped = [this](const std::function<void()>& handler) {
        toolkit::RunUntrapped(Box(), services_.program, handler);
    };
    switch (id) {
        case ids::kSave:
            form.cmdSave_Click();
            break;
        case IDCANCEL:  // Esc
        case ids::kCancel:
            untrapped([&] { form.cmdCancel_Click(); });
            break;
        case ids::kAbout:
            untrapped([&] { form.cmdAbout_Click(); });
            break;
        case ids::kBrowseGsExe:
            form.cmdBrowse_Click(0);
            break;
        case ids::kBrowseGsFonts:
            form.cmdBrowse_Click(1);
            break;
        case ids::kBrowseGsLib:
            form.cmdBrowse_Click(2);
            break;
        case ids::kBrowseRm:
            form.cmdBrowseRM_Click(0);
            break;
        case ids::kBrowsePdfDir:
            untrapped([&] { form.cmdPDFDir_Click(3); });
            break;
        case ids::kBrowseAutoDir:
            untrapped([&] { form.cmdAutoDir_Click(); });
            break;
        default:
            break;
    }
}

LRESULT ConfigWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (form_ != nullptr && (HIWORD(wParam) == BN_CLICKED || LOWORD(wParam) == IDCANCEL))
                OnCommand(LOWORD(wParam));
            return 0;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->idFrom == static_cast<UINT_PTR>(ids::kTabs) &&
                header->code == TCN_SELCHANGE)
                ssConfig_.ShowCurrentPage();
            return 0;
        }
        case WM_CLOSE:
            if (form_ != nullptr) {
                toolkit::RunUntrapped(Box(), services_.program, [this] {
                    if (form_->Form_QueryUnload()) form_->Form_Unload();
                });
            }
            return 0;
        default:
            return Window::OnMessage(message, wParam, lParam);
    }
}

}  // namespace vellum::win32
