#include "mail/win32/send_mail_window_win32.h"

#include <commctrl.h>

#include <exception>
#include <vector>

#include "mail/send_mail_ids.h"
#include "toolkit/win32/strings.h"
#include "toolkit/win32/top_level.h"

namespace vellum::win32 {

namespace ids = mail::ids;

namespace {

constexpr wchar_t kClassName[] = L"VellumSendMail";
constexpr DWORD kListStyle = WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;

std::string CurrentFolder() {
    std::vector<wchar_t> buffer(GetCurrentDirectoryW(0, nullptr) + 1);
    const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
    return length > 0 && length < buffer.size() ? Narrow(buffer.data(), length) : std::string();
}

}  // namespace

SendMailWindow::SendMailWindow(mail::SendMailServices services, toolkit::Program& program)
    : services_(services), program_(program) {}

// The window goes first, so that no message reaches the form or a list while they go; then the
// form, which refers to the lists; the lists last.
SendMailWindow::~SendMailWindow() {
    Destroy();
    form_.reset();
}

void SendMailWindow::CreateControls() {
    const HWND form = Hwnd();
    // Created in tab order: dialog navigation follows creation order.
    dirPDF_.Open(CreateControl(form, WC_LISTBOXW, "", kListStyle, WS_EX_CLIENTEDGE,
                               {135, 450, 2700, 1440}, ids::kFolders),
                 CurrentFolder());
    // Created taller than shown: the extra height is the drop-down list.
    const HWND drives =
        CreateControl(form, WC_COMBOBOXW, "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0,
                      {135, 75, 2700, 315 + 2400}, ids::kDrives);
    SendMessageW(drives, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), TwipsToPixelsY(315) - 6);
    drivePDF_.Open(drives, CurrentFolder());
    filePDF_.Open(CreateControl(form, WC_LISTBOXW, "", kListStyle | LBS_EXTENDEDSEL,
                                WS_EX_CLIENTEDGE, {2895, 60, 3870, 2370}, ids::kFiles),
                  CurrentFolder(), mail::kFilePattern);
    cmdSendMail_.Attach(CreateControl(form, WC_BUTTONW, "&e-mail Selected PDF Files",
                                      WS_TABSTOP | BS_PUSHBUTTON, 0, {150, 1980, 2640, 420},
                                      ids::kSendMail));
}

void SendMailWindow::Show() {
    if (form_ != nullptr) {
        ShowWindow(Hwnd(), SW_SHOW);
        SetForegroundWindow(Hwnd());
        return;
    }
    CreateTopLevel(kClassName, "Send PDF by eMail", kFormStyle, 6900, 2580,
                   LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(2)));
    CreateControls();
    form_ = std::make_unique<mail::FrmSendMail>(
        mail::SendMailControls{drivePDF_, dirPDF_, filePDF_, cmdSendMail_,
                               reinterpret_cast<std::uintptr_t>(Hwnd())},
        services_);
    drivePDF_.onChange = [this] { form_->drivePDF_Change(); };
    dirPDF_.onChange = [this] { form_->dirPDF_Change(); };

    // A failed load still opens the window, on whatever the lists could take, so that the user
    // can pick another folder; the failure then goes to the caller.
    std::exception_ptr loadFailure;
    try {
        form_->Form_Load();
    } catch (const toolkit::RuntimeError&) {
        loadFailure = std::current_exception();
    }
    ShowWindow(Hwnd(), SW_SHOW);
    SetForegroundWindow(Hwnd());
    UpdateWindow(Hwnd());
    ::SetFocus(dirPDF_.Handle());
    if (loadFailure) std::rethrow_exception(loadFailure);
}

void SendMailWindow::OnCommand(int id, WORD code) {
    mail::FrmSendMail& form = *form_;
    auto untrapped = [this](const std::function<void()>& handler) {
        toolkit::RunUntrapped(services_.msgBox, program_, handler);
    };
    switch (id) {
        case ids::kDrives:
            drivePDF_.OnCommand(code);
            break;
        case IDOK:  // Enter: opens the highlighted folder while the folder list has the focus
            if (GetFocus() != dirPDF_.Handle()) break;
            code = LBN_DBLCLK;
            [[fallthrough]];
        case ids::kFolders:
            try {
                dirPDF_.OnCommand(code);
            } catch (const toolkit::RuntimeError& e) {
                // The folder the user opened cannot be read; the list stays where it was.
                services_.msgBox.Show(e.Description(), "Error!", toolkit::Icon::Error);
            }
            break;
        case ids::kFiles:
            if (code == LBN_DBLCLK) untrapped([&] { form.filePDF_DblClick(); });
            break;
        case ids::kSendMail:
            if (code == BN_CLICKED) untrapped([&] { form.cmdSendMail_Click(); });
            break;
        default:
            break;
    }
}

LRESULT SendMailWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (form_ != nullptr) OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_ACTIVATE:
            // A plain window forgets which control had the focus when a message box takes it.
            if (LOWORD(wParam) == WA_INACTIVE) {
                const HWND focus = GetFocus();
                if (focus != nullptr && IsChild(Hwnd(), focus)) focus_ = focus;
            } else if (focus_ != nullptr && IsWindow(focus_)) {
                ::SetFocus(focus_);
                return 0;
            }
            break;
        case WM_CLOSE:
            // No unload handling of its own: the program ends unless another window is open.
            ShowWindow(Hwnd(), SW_HIDE);
            EndWhenNoWindowIsLeft(program_);
            return 0;
        default:
            break;
    }
    return Window::OnMessage(message, wParam, lParam);
}

}  // namespace vellum::win32
