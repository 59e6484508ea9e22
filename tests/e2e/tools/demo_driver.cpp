// Drives one unattended conversion for scripts/demo: starts vellum.exe on a job, waits for its
// Save As dialog, lets the caller take a screenshot, answers the dialog and waits for the end.
//
//   demo_driver.exe <job.ps> <output.pdf> <ready-file> <go-file>
//
// When the dialog is on screen it creates <ready-file>, then waits for <go-file> to appear
// before answering. Exit code: vellum.exe's, or 2 when something did not happen in time.

#include <windows.h>

#include <cstdio>
#include <string>

#include "driver/driver.h"
#include "toolkit/win32/strings.h"

using namespace vellum::e2e;

int wmain(int argc, wchar_t** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: demo_driver <job.ps> <output.pdf> <ready-file> <go-file>\n");
        return 2;
    }
    const std::string job = vellum::win32::Narrow(argv[1]);
    const std::string pdf = vellum::win32::Narrow(argv[2]);
    try {
        Process vellum = Process::Start(SiblingPath("vellum.exe"), "\"" + job + "\"");
        const HWND dialog = WaitForFileDialog(vellum, 60s);
        HANDLE ready = CreateFileW(argv[3], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (ready != INVALID_HANDLE_VALUE) CloseHandle(ready);
        WaitUntil(
            vellum, "the screenshot",
            [&] { return GetFileAttributesW(argv[4]) != INVALID_FILE_ATTRIBUTES; }, 60s);
        SubmitFileDialog(dialog, pdf);
        return static_cast<int>(vellum.WaitExitCode(120s));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "demo_driver: %s\n", e.what());
        return 2;
    }
}
