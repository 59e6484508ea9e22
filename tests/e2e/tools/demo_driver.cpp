// Drives scripts/demo: the steps a user takes, each through the real windows, with a screenshot
// asked for where the user would look.
//
//   demo_driver config <vellum.exe> <port> <shots folder>
//       "Configure Vellum" as setup left it: a screenshot of each tab, the "RedMon" tab showing
//       <port> (the one setup bound), then Cancel.
//   demo_driver print <printtext.exe> <printer> <document> <pdf> <shots folder>
//       prints the document; the vellum.exe that RedRun starts asks where to save: a
//       screenshot of Save As, which is answered with <pdf>; waits for the end of both.
//   demo_driver print-again <printtext.exe> <printer> <document> <pdf> <shots folder>
//       prints the document again to the same <pdf>: a screenshot of Vellum's question for the
//       existing file, answered with "Add pages".
//   demo_driver mail <vellum.exe> <shots folder>
//       "Send PDF by eMail" on the default folder, its first PDF selected: a screenshot.
//
// A screenshot is asked for by writing <shots folder>\<name>.ready, which holds the window's
// rectangle on the screen ("left top width height"); the script takes it and removes the file.
// Exit code: 0 when every step happened, else 2 with the reason on stderr.

#include <windows.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "config/config_ids.h"
#include "driver/driver.h"
#include "mail/send_mail_ids.h"
#include "toolkit/win32/strings.h"

namespace vellum::e2e {
namespace {

constexpr auto kStepTimeout = 60s;

class Screenshots {
public:
    explicit Screenshots(std::string folder) : folder_(std::move(folder)) {}

    // Waits until `window` has drawn itself, asks for its screenshot and waits until it is taken.
    void Take(const Process& process, HWND window, const std::string& name) const {
        RedrawWindow(window, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        std::this_thread::sleep_for(300ms);  // what is drawn late (combo boxes, tab pages)
        RECT rect{};
        if (!GetWindowRect(window, &rect)) throw DriverError("no rectangle for " + name);
        const std::string request = std::to_string(rect.left) + " " + std::to_string(rect.top) +
                                    " " + std::to_string(rect.right - rect.left) + " " +
                                    std::to_string(rect.bottom - rect.top) + "\n";
        const std::wstring ready = win32::Widen(folder_ + "\\" + name + ".ready");
        const std::wstring part = ready + L".part";
        FILE* out = _wfopen(part.c_str(), L"wb");
        if (!out) throw DriverError("cannot write " + win32::Narrow(part));
        std::fwrite(request.data(), 1, request.size(), out);
        std::fclose(out);
        // Whole or not at all: the script reads the file as soon as it sees the name.
        if (!MoveFileExW(part.c_str(), ready.c_str(), MOVEFILE_REPLACE_EXISTING))
            throw DriverError("cannot ask for the screenshot " + name);
        WaitUntil(
            process, "the screenshot " + name,
            [&] { return GetFileAttributesW(ready.c_str()) == INVALID_FILE_ATTRIBUTES; },
            kStepTimeout);
    }

private:
    std::string folder_;
};

int Configure(const std::string& vellumExe, const std::string& port, const Screenshots& shots) {
    namespace ids = config::ids;
    Process vellum = Process::Start(vellumExe, "-config");
    const HWND window = WaitForWindow(vellum, "Configure Vellum", kStepTimeout);
    const HWND tabs = Control(window, ids::kTabs);
    shots.Take(vellum, window, "config-ghostscript");
    SelectTab(tabs, 1);
    const std::string shown = ComboText(Control(window, ids::kPorts));
    if (shown != port)
        throw DriverError("the RedMon tab shows the port \"" + shown + "\", not " + port);
    shots.Take(vellum, window, "config-redmon");
    SelectTab(tabs, 2);
    shots.Take(vellum, window, "config-vellum");
    SelectTab(tabs, 3);
    shots.Take(vellum, window, "config-saving");
    Click(Control(window, ids::kCancel));
    return static_cast<int>(WaitForSilentExit(vellum, kStepTimeout));
}

constexpr int kAddPages = 101;  // the question's second button

int Print(const std::string& printtext, const std::string& printer, const std::string& document,
          const std::string& pdf, const Screenshots& shots, bool again) {
    const std::vector<DWORD> running = ProcessesNamed("vellum.exe");
    Process printing = Process::Start(printtext, "\"" + printer + "\" \"" + document + "\"");
    Process vellum = WaitForNewProcess(printing, "vellum.exe", running, kStepTimeout);
    const HWND saveAs = WaitForFileDialog(vellum, kStepTimeout);
    if (!again) shots.Take(vellum, saveAs, "save-as");
    AnswerSaveAs(vellum, pdf, kStepTimeout);
    if (again) {
        const HWND question = WaitForMessageBox(vellum, kStepTimeout).hwnd;
        shots.Take(vellum, question, "existing-pdf-question");
        PressDialogButton(question, kAddPages);
    }
    const DWORD converted = WaitForSilentExit(vellum, 2 * kStepTimeout);
    if (converted != 0) throw DriverError("vellum.exe ended with " + std::to_string(converted));
    const DWORD printed = printing.WaitExitCode(kStepTimeout);
    if (printed != 0) throw DriverError("printtext ended with " + std::to_string(printed));
    return 0;
}

int Mail(const std::string& vellumExe, const Screenshots& shots) {
    Process vellum = Process::Start(vellumExe, "-mail");
    const HWND window = WaitForWindow(vellum, "Send PDF by eMail", kStepTimeout);
    const HWND files = Control(window, mail::ids::kFiles);
    WaitUntil(vellum, "the PDFs of the default folder",
              [&] { return !ListBoxItems(files).empty(); });
    ListBoxSelect(files, {0});
    shots.Take(vellum, window, "send-mail");
    PostMessageW(window, WM_CLOSE, 0, 0);
    return static_cast<int>(WaitForSilentExit(vellum, kStepTimeout));
}

int Run(const std::vector<std::string>& args) {
    const std::string step = args.empty() ? "" : args[0];
    if (step == "config" && args.size() == 4)
        return Configure(args[1], args[2], Screenshots(args[3]));
    if ((step == "print" || step == "print-again") && args.size() == 6)
        return Print(args[1], args[2], args[3], args[4], Screenshots(args[5]), step != "print");
    if (step == "mail" && args.size() == 3) return Mail(args[1], Screenshots(args[2]));
    std::fprintf(stderr,
                 "usage: demo_driver config <vellum.exe> <port> <shots>\n"
                 "       demo_driver print <printtext.exe> <printer> <document> <pdf> <shots>\n"
                 "       demo_driver mail <vellum.exe> <shots>\n");
    return 2;
}

}  // namespace
}  // namespace vellum::e2e

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(vellum::win32::Narrow(argv[i]));
    try {
        return vellum::e2e::Run(args);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "demo_driver: %s\n", e.what());
        return 2;
    }
}
