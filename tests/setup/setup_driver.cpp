// Drives what the setup test and the screenshots need from inside Wine:
//
//   setup_driver print <printer> <text file> <pdf>
//       prints the text file from a Windows program (printtext.exe) and answers the Save As
//       dialog of the Vellum that the printer's port starts; exit code 0 when Vellum ended
//       with 0 and the printing program too.
//   setup_driver pages <setup.exe> <folder> [switch...]
//       runs the setup program interactively (with the switches, as written) and, each time it
//       waits for the user (a page whose default button is enabled, or a message box), writes
//       <folder>\NN.ready holding the page's name, waits for <folder>\NN.go (the caller's
//       screenshot), then answers with the default button, until setup ends.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "toolkit/win32/strings.h"

using namespace vellum::e2e;

namespace {

constexpr auto kPrintTimeout = 120s;
constexpr int kHeaderTitle = 1037;   // the modern UI's page header
constexpr int kWelcomeTitle = 1201;  // the welcome and finish pages' title

int Print(const std::string& printer, const std::string& text, const std::string& pdf) {
    const std::vector<DWORD> known = ProcessesNamed("vellum.exe");
    Process printing =
        Process::Start(SiblingPath("printtext.exe"), "\"" + printer + "\" \"" + text + "\"");
    DWORD found = 0;
    WaitUntil(
        printing, "vellum.exe started by the printer's port",
        [&] {
            for (DWORD id : ProcessesNamed("vellum.exe"))
                if (std::find(known.begin(), known.end(), id) == known.end()) found = id;
            return found != 0;
        },
        kPrintTimeout);
    Process vellum = Process::Attach(found);
    AnswerSaveAs(vellum, pdf, kPrintTimeout);
    const DWORD vellumCode = vellum.WaitExitCode(kPrintTimeout);
    const DWORD printCode = printing.WaitExitCode(kPrintTimeout);
    std::printf("vellum.exe exited with %lu, printtext.exe with %lu\n", vellumCode, printCode);
    return vellumCode == 0 && printCode == 0 ? 0 : 1;
}

bool Exists(const std::string& path) {
    return GetFileAttributesW(vellum::win32::Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Slug(const std::string& text) {
    std::string slug;
    for (char c : text) {
        if (std::isalnum(static_cast<unsigned char>(c)))
            slug += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        else if (!slug.empty() && slug.back() != '-')
            slug += '-';
        if (slug.size() >= 32) break;
    }
    while (!slug.empty() && slug.back() == '-') slug.pop_back();
    return slug.empty() ? "page" : slug;
}

// The window that waits for the user, and its name; nullptr while setup is busy.
HWND Waiting(const Process& setup, std::string& name) {
    for (const TopWindow& window : TopWindows(setup)) {
        if (window.className != "#32770") continue;
        if (HWND text = FindControl(window.hwnd, 0xFFFF)) {  // a message box
            name = "message-" + Slug(Text(text));
            return window.hwnd;
        }
        HWND next = FindControl(window.hwnd, IDOK);
        if (!next || !IsVisible(next) || !IsEnabled(next)) continue;
        std::string title;
        for (int id : {kHeaderTitle, kWelcomeTitle}) {
            // The page is a child dialog of the main window.
            for (HWND child = GetWindow(window.hwnd, GW_CHILD); child && title.empty();
                 child = GetWindow(child, GW_HWNDNEXT)) {
                HWND control =
                    id == kHeaderTitle ? FindControl(window.hwnd, id) : FindControl(child, id);
                if (control && IsVisible(control)) title = Text(control);
            }
        }
        name = Slug(title.empty() ? Text(next) : title);
        return window.hwnd;
    }
    return nullptr;
}

int Pages(const std::string& setupExe, const std::string& folder, const std::string& switches) {
    Process setup = Process::Start(setupExe, switches);
    std::string last;
    for (int step = 1; step <= 20; ++step) {
        HWND window = nullptr;
        std::string name;
        WaitUntil(
            setup, "setup to wait for the user",
            [&] {
                if (!setup.Running()) return true;
                window = Waiting(setup, name);
                return window != nullptr;
            },
            120s);
        if (!setup.Running()) return static_cast<int>(setup.ExitCode());
        char prefix[8];
        std::snprintf(prefix, sizeof prefix, "%02d", step);
        const std::string ready = folder + "\\" + prefix + ".ready";
        HANDLE file = CreateFileW(vellum::win32::Widen(ready).c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            const std::string content = std::string(prefix) + "-" + name;
            DWORD written = 0;
            WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
            CloseHandle(file);
        }
        const std::string go = folder + "\\" + prefix + ".go";
        WaitUntil(
            setup, "the screenshot of " + name, [&] { return Exists(go); }, 60s);
        PressDialogButton(window, IDOK);
        // The next state is a different window or the same one with other texts.
        WaitUntil(
            setup, "setup to leave " + name,
            [&] {
                std::string now;
                return !setup.Running() || Waiting(setup, now) != window || now != name;
            },
            120s);
    }
    return setup.WaitExitCode(60s);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(vellum::win32::Narrow(argv[i]));
    try {
        if (args.size() == 4 && args[0] == "print") return Print(args[1], args[2], args[3]);
        if (args.size() >= 3 && args[0] == "pages") {
            // NSIS reads its switches unquoted, values with blanks included (/DRIVER=A B).
            std::string switches;
            for (std::size_t i = 3; i < args.size(); ++i)
                switches += (switches.empty() ? "" : " ") + args[i];
            return Pages(args[1], args[2], switches);
        }
        std::fprintf(stderr,
                     "usage: setup_driver print <printer> <text> <pdf> | "
                     "pages <setup.exe> <folder> [switch...]\n");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "setup_driver: %s\n", e.what());
    }
    return 2;
}
