// The benchmark's Win32 driver: starts vellum.exe and its floors under Wine, times them with the
// performance counter and reads their memory figures. One command per measure; each does a
// warm-up run and then `runs` measured runs, alternating the program and its floor so that a
// drift of the machine falls on both. Every measured run prints one line
//
//   <measure> <value>
//
// (milliseconds or bytes) for scripts/bench to aggregate. Exit code 0, or 2 with the reason on
// stderr when a program did not do what the run expects.
//
//   bench_driver startup <runs> <job.ps> <pdf folder>
//   bench_driver convert <runs> <job.ps> <pdf folder>
//   bench_driver memory  <runs> <job.ps> <pdf folder>
//   bench_driver folders <runs> <job.ps> <empty folder> <folder of many files>
//   bench_driver handover <runs> <small job.ps> <large job.ps>
//   bench_driver ready
//   bench_driver ports <runs>
//   bench_driver enumports          (one EnumPortsA call: the ports measure's child)
//
// `ready` returns once the prefix starts vellum.exe and shows its window (a fresh prefix may
// refuse the first starts). `ports` times the configuration window and EnumPortsA with the
// RedMon ports there and, interleaved, with the port monitor switched off (no RedMon ports):
// the difference between the two is then not a drift of the machine between two series.
// `handover` times start to Save As through the handover (vellum.exe started where no one sees
// it, handing the job to one on this desktop) with a small and a large job, and the direct start.

#include <windows.h>
#include <dlgs.h>
#include <psapi.h>
#include <winspool.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

#include "convert/ghostscript_command.h"
#include "driver/driver.h"
#include "settings/settings.h"
#include "toolkit/win32/strings.h"

using namespace vellum::e2e;

namespace {

constexpr DWORD kTimeoutMs = 120000;

double Now() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / frequency;
}

void Report(const std::string& measure, double value) {
    std::printf("%s %.3f\n", measure.c_str(), value);
    std::fflush(stdout);
}

std::string ClassOf(HWND window) {
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return vellum::win32::Narrow(name);
}

struct Search {
    DWORD processId;  // 0: any process but this one
    std::function<bool(HWND)> matches;
    HWND found = nullptr;
};

// A visible top-level window on this desktop of the process `processId` (0: of any process but
// this one) that `matches`, or nullptr. Cheap enough to call every millisecond: no text is read
// across processes.
HWND FindVisible(DWORD processId, std::function<bool(HWND)> matches) {
    Search search{processId, std::move(matches)};
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(context);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            const bool ours =
                s.processId != 0 ? owner == s.processId : owner != GetCurrentProcessId();
            if (!ours || !IsWindowVisible(window) || !s.matches(window)) return TRUE;
            s.found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindVisible(const Process& process, std::function<bool(HWND)> matches) {
    return FindVisible(process.Id(), std::move(matches));
}

// The file name field: the edit inside cmb13 in the Explorer-style dialog, edt1 in the old one.
HWND FileNameField(HWND dialog) {
    if (HWND combo = FindControl(dialog, cmb13)) {
        if (HWND edit = FindWindowExW(combo, nullptr, L"Edit", nullptr)) return edit;
        return combo;
    }
    return FindControl(dialog, edt1);
}

bool IsFileDialog(HWND window) {
    return ClassOf(window) == "#32770" && FileNameField(window) != nullptr;
}

// Polls every millisecond until `find` returns a window; `onPoll` runs on each round (the
// memory reader). Throws when the process ends first or the time-out passes.
HWND PollFor(const Process& process, const std::string& what, const std::function<HWND()>& find,
             const std::function<void()>& onPoll = {}) {
    const double deadline = Now() + kTimeoutMs;
    for (;;) {
        if (HWND window = find()) return window;
        if (onPoll) onPoll();
        if (!process.Running())
            throw std::runtime_error(process.CommandLine() + " ended before showing " + what);
        if (Now() > deadline)
            throw std::runtime_error(process.CommandLine() + " did not show " + what);
        Sleep(1);
    }
}

HWND PollForFileDialog(const Process& process, const std::function<void()>& onPoll = {}) {
    return PollFor(
        process, "a Save As dialog", [&] { return FindVisible(process, IsFileDialog); }, onPoll);
}

void AwaitExit(const Process& process, DWORD expectedCode) {
    const DWORD code = process.WaitExitCode(std::chrono::milliseconds(kTimeoutMs));
    if (code != expectedCode)
        throw std::runtime_error(process.CommandLine() + " exited with " + std::to_string(code) +
                                 ", expected " + std::to_string(expectedCode));
}

std::string Quote(const std::string& text) {
    return "\"" + text + "\"";
}

// The settings vellum.exe reads, from the same registry key.
vellum::settings::SettingsRecord ReadSettings() {
    vellum::settings::SettingsRecord settings;
    auto read = [](const wchar_t* name) {
        wchar_t value[4096] = L"";
        DWORD size = sizeof value;
        const LSTATUS status = RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Vellum", name,
                                            RRF_RT_REG_SZ, nullptr, value, &size);
        if (status != ERROR_SUCCESS)
            throw std::runtime_error("setting " + vellum::win32::Narrow(name) + " is missing");
        return vellum::win32::Narrow(value);
    };
    settings.gsExe = read(L"gsExe");
    settings.gsLib = read(L"gsLib");
    settings.gsFonts = read(L"gsFonts");
    return settings;
}

std::string PdfPath(const std::string& folder, const std::string& name, int run) {
    const std::string path = folder + "\\" + name + "-" + std::to_string(run) + ".pdf";
    DeleteFileW(vellum::win32::Widen(path).c_str());
    return path;
}

void RequirePdf(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(vellum::win32::Widen(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        throw std::runtime_error("no PDF was written to " + path);
}

// Process start until the Save As dialog is visible; then Cancel, which ends both programs.
void Startup(int runs, const std::string& job, const std::string& folder) {
    for (int run = 0; run <= runs; ++run) {
        for (const bool floor : {false, true}) {
            const double start = Now();
            Process process = floor ? Process::Start(SiblingPath("savedialog.exe"), Quote(folder))
                                    : Process::Start(SiblingPath("vellum.exe"), Quote(job));
            const HWND dialog = PollForFileDialog(process);
            const double shown = Now();
            if (run > 0) Report(floor ? "startup.floor" : "startup.vellum", shown - start);
            CancelDialog(dialog);
            AwaitExit(process, floor ? 1 : 0);
        }
    }
}

// The variables RedMon sets for a job of this desktop's user in session 1 (Wine's only one).
Environment DesktopUsersJob() {
    wchar_t user[257] = L"";
    DWORD length = 257;
    if (!GetUserNameW(user, &length))
        throw std::runtime_error("GetUserNameW failed: error " + std::to_string(GetLastError()));
    return {{"REDMON_USER", vellum::win32::Narrow(user)}, {"REDMON_SESSIONID", "1"}};
}

// vellum.exe started with `job` (on `desktop`, "station\\desktop", when given) until a Save As
// dialog is visible on this desktop, in milliseconds; then Cancel, which ends it with 0. Started
// on the unseen station, it shows nothing: the dialog is the one of the vellum.exe it hands the
// job to, and both end. Every start is searched for the same way, any process's dialog.
double StartToSaveAs(const std::string& job, const Environment& env, const std::string& desktop) {
    const double start = Now();
    Process vellum = Process::Start(SiblingPath("vellum.exe"), Quote(job), env, "", desktop);
    const HWND dialog =
        PollFor(vellum, "a Save As dialog", [] { return FindVisible(0, IsFileDialog); });
    const double shown = Now();
    DWORD owner = 0;
    GetWindowThreadProcessId(dialog, &owner);
    if (desktop.empty() != (owner == vellum.Id()))
        throw std::runtime_error("the Save As dialog is not the one of the expected vellum.exe");
    std::optional<Process> handedOver;
    if (owner != vellum.Id()) handedOver.emplace(Process::Attach(owner));
    CancelDialog(dialog);
    if (handedOver) AwaitExit(*handedOver, 0);
    AwaitExit(vellum, 0);
    return shown - start;
}

// Start to Save As through the handover with the small and the large job, against vellum.exe
// started on this desktop with the small one; the three in a turn that moves on every run, so
// that a drift of the machine falls on each.
void Handover(int runs, const std::string& small, const std::string& large) {
    const Environment env = DesktopUsersJob();
    const UnseenStation unseen;
    if (unseen.Desktop() == nullptr)
        throw std::runtime_error("cannot make the unseen window station: error " +
                                 std::to_string(GetLastError()));
    const struct {
        const char* measure;
        const std::string& job;
        const char* desktop;
    } starts[] = {{"handover.direct", small, ""},
                  {"handover.small", small, "VellumUnseen\\Default"},
                  {"handover.large", large, "VellumUnseen\\Default"}};
    for (int run = 0; run <= runs; ++run) {
        for (int i = 0; i < 3; ++i) {
            const auto& start = starts[(run + i) % 3];
            const double elapsed = StartToSaveAs(start.job, env, start.desktop);
            if (run > 0) Report(start.measure, elapsed);
        }
    }
}

// Launches the Ghostscript command line the way vellum.exe does (hidden, standard handles
// redirected) and returns the milliseconds until it has ended.
double RunGhostscript(const std::string& commandLine) {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE nul =
        CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    &inheritable, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.wShowWindow = SW_HIDE;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = nul;
    std::string line = commandLine;
    PROCESS_INFORMATION info{};
    const double start = Now();
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS,
                        nullptr, nullptr, &startup, &info)) {
        const DWORD error = GetLastError();
        CloseHandle(nul);
        throw std::runtime_error("cannot start " + commandLine + ": error " +
                                 std::to_string(error));
    }
    WaitForSingleObject(info.hProcess, kTimeoutMs);
    const double end = Now();
    DWORD code = 1;
    GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    CloseHandle(nul);
    if (code != 0) throw std::runtime_error(commandLine + " exited with " + std::to_string(code));
    return end - start;
}

// Save pressed in vellum.exe's Save As dialog with `pdf` as the name, until it has ended: the
// conversion's own time, in milliseconds.
double VellumSaveToExit(const std::string& job, const std::string& pdf) {
    Process vellum = Process::Start(SiblingPath("vellum.exe"), Quote(job));
    const HWND dialog = PollForFileDialog(vellum);
    SetText(FileNameField(dialog), pdf);
    const double pressed = Now();
    PressDialogButton(dialog, IDOK);
    if (!vellum.WaitExit(std::chrono::milliseconds(kTimeoutMs)))
        throw std::runtime_error("vellum.exe did not end after Save");
    const double ended = Now();
    AwaitExit(vellum, 0);
    RequirePdf(pdf);
    return ended - pressed;
}

// The Save As dialog's own work after Save with `pdf` as the name, until the call that showed
// it has returned: the bare dialog program, started in `folder`, ends right then.
double DialogSaveToExit(const std::string& folder, const std::string& pdf) {
    Process dialogOnly = Process::Start(SiblingPath("savedialog.exe"), Quote(folder));
    const HWND dialog = PollForFileDialog(dialogOnly);
    SetText(FileNameField(dialog), pdf);
    const double pressed = Now();
    PressDialogButton(dialog, IDOK);
    if (!dialogOnly.WaitExit(std::chrono::milliseconds(kTimeoutMs)))
        throw std::runtime_error("savedialog.exe did not end after Save");
    return Now() - pressed;
}

// The Save button pressed until vellum.exe has ended, against the Ghostscript launcher alone
// with the command line vellum.exe builds.
void Convert(int runs, const std::string& job, const std::string& folder) {
    const vellum::settings::SettingsRecord settings = ReadSettings();
    for (int run = 0; run <= runs; ++run) {
        const double vellum = VellumSaveToExit(job, PdfPath(folder, "vellum", run));
        if (run > 0) Report("convert.vellum", vellum);
        const double dialog = DialogSaveToExit(folder, PdfPath(folder, "dialog", run));
        if (run > 0) Report("convert.dialog", dialog);
        {
            const std::string pdf = PdfPath(folder, "floor", run);
            const double elapsed =
                RunGhostscript(vellum::convert::GhostscriptCommandLine(settings, pdf, job));
            RequirePdf(pdf);
            if (run > 0) Report("convert.floor", elapsed);
        }
    }
}

// The same conversion into a folder that holds many other files and into an empty one, in
// turns, and the bare Save As dialog saving into each: what a job's cost owes to the files that
// share its folder, less what the dialog's own checks of the name owe to them.
void Folders(int runs, const std::string& job, const std::string& empty,
             const std::string& crowded) {
    const std::string start = empty.substr(0, empty.find_last_of('\\'));
    for (int run = 0; run <= runs; ++run) {
        for (const bool full : {run % 2 == 0, run % 2 != 0}) {
            const std::string folder = full ? crowded : empty;
            const std::string pdf = PdfPath(folder, "vellum", run);
            const double vellum = VellumSaveToExit(job, pdf);
            DeleteFileW(vellum::win32::Widen(pdf).c_str());
            const double dialog = DialogSaveToExit(start, PdfPath(folder, "dialog", run));
            if (run == 0) continue;
            Report(full ? "folder.crowded" : "folder.empty", vellum);
            Report(full ? "folderdialog.crowded" : "folderdialog.empty", dialog);
        }
    }
}

// The highest working set and private bytes a process has shown so far.
struct MemoryPeak {
    SIZE_T workingSet = 0;
    SIZE_T privateBytes = 0;

    void Read(const Process& process) {
        PROCESS_MEMORY_COUNTERS_EX counters{};
        counters.cb = sizeof counters;
        if (!GetProcessMemoryInfo(process.Handle(),
                                  reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                  sizeof counters))
            return;  // ended between two reads: the last figures stand
        workingSet = std::max({workingSet, counters.PeakWorkingSetSize, counters.WorkingSetSize});
        privateBytes = std::max({privateBytes, counters.PeakPagefileUsage, counters.PrivateUsage});
    }
};

// Peak memory over a whole conversion (dialog answered with a PDF path), against the bare
// dialog program answered the same way.
void Memory(int runs, const std::string& job, const std::string& folder) {
    for (int run = 0; run <= runs; ++run) {
        for (const bool floor : {false, true}) {
            const std::string pdf = PdfPath(folder, floor ? "memfloor" : "memvellum", run);
            Process process = floor ? Process::Start(SiblingPath("savedialog.exe"), Quote(folder))
                                    : Process::Start(SiblingPath("vellum.exe"), Quote(job));
            MemoryPeak peak;
            const HWND dialog = PollForFileDialog(process, [&] { peak.Read(process); });
            peak.Read(process);
            SubmitFileDialog(dialog, pdf);
            while (process.Running()) {
                peak.Read(process);
                Sleep(2);
            }
            AwaitExit(process, 0);
            if (!floor) RequirePdf(pdf);
            if (run > 0) {
                const std::string who = floor ? ".floor" : ".vellum";
                Report("memory.workingset" + who, static_cast<double>(peak.workingSet));
                Report("memory.private" + who, static_cast<double>(peak.privateBytes));
            }
        }
    }
}

// `vellum.exe -config` start until the configuration window is visible, in milliseconds; then
// the window is closed.
double ConfigWindowShown() {
    const double start = Now();
    Process vellum = Process::Start(SiblingPath("vellum.exe"), "-config");
    const HWND window = PollFor(vellum, "the \"Configure Vellum\" window", [&] {
        return FindVisible(vellum, [](HWND w) { return Text(w) == "Configure Vellum"; });
    });
    const double shown = Now() - start;
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (!vellum.WaitExit(10s)) vellum.Kill();
    return shown;
}

// Waits until the prefix can start vellum.exe and show its window.
void Ready() {
    std::string last;
    for (int attempt = 0; attempt < 60; ++attempt) {
        try {
            ConfigWindowShown();
            return;
        } catch (const std::exception& e) {
            last = e.what();
            Sleep(500);
        }
    }
    throw std::runtime_error("the prefix never started vellum.exe: " + last);
}

// The "Redirected Port" monitor on or off: the spooler loads the monitors afresh for every
// EnumPorts call, and leaves out a monitor whose DLL it cannot load.
class MonitorSwitch {
public:
    MonitorSwitch() {
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kMonitorKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                          &key_) != ERROR_SUCCESS)
            throw std::runtime_error("no \"Redirected Port\" monitor is registered");
        wchar_t driver[MAX_PATH] = L"";
        DWORD size = sizeof driver - sizeof(wchar_t);
        if (RegQueryValueExW(key_, L"Driver", nullptr, nullptr, reinterpret_cast<BYTE*>(driver),
                             &size) != ERROR_SUCCESS) {
            RegCloseKey(key_);
            throw std::runtime_error("the monitor has no Driver value");
        }
        driver_ = driver;
    }
    MonitorSwitch(const MonitorSwitch&) = delete;
    MonitorSwitch& operator=(const MonitorSwitch&) = delete;
    ~MonitorSwitch() {
        Set(true);
        RegCloseKey(key_);
    }
    void Set(bool on) {
        const std::wstring driver = on ? driver_ : L"vellum-bench-monitor-off.dll";
        RegSetValueExW(key_, L"Driver", 0, REG_SZ, reinterpret_cast<const BYTE*>(driver.c_str()),
                       static_cast<DWORD>((driver.size() + 1) * sizeof(wchar_t)));
    }

private:
    static constexpr const wchar_t* kMonitorKey =
        L"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Redirected Port";
    HKEY key_ = nullptr;
    std::wstring driver_;
};

// EnumPortsA at level 2 alone, the way the program asks (one call with room for some three
// thousand ports, a second one only when that is too small): the spooler's share of the
// configuration window's start-up, which is not Vellum's own cost.
double EnumPortsTime() {
    const double start = Now();
    DWORD needed = 0;
    DWORD returned = 0;
    std::string buffer(256 * 1024, '\0');
    if (!EnumPortsA(nullptr, 2, reinterpret_cast<BYTE*>(buffer.data()),
                    static_cast<DWORD>(buffer.size()), &needed, &returned)) {
        buffer.assign(needed, '\0');
        if (!EnumPortsA(nullptr, 2, reinterpret_cast<BYTE*>(buffer.data()), needed, &needed,
                        &returned))
            throw std::runtime_error("EnumPortsA failed: error " + std::to_string(GetLastError()));
    }
    return Now() - start;
}

// EnumPortsA as a fresh process makes its first call, the spooler and the monitor loaded cold,
// as vellum.exe -config makes it: a child of this driver calls it once. Its own start and end
// are in the time too, the same with 1,000 ports and with none.
double ColdEnumPortsTime() {
    const double start = Now();
    Process child = Process::Start(SiblingPath("bench_driver.exe"), "enumports");
    AwaitExit(child, 0);
    return Now() - start;
}

// Both port measures with the monitor's ports ("ports<count>") and without ("ports0"), one
// after the other in every run.
void Ports(int runs) {
    MonitorSwitch monitor;
    for (int run = 0; run <= runs; ++run) {
        for (const bool on : {run % 2 == 0, run % 2 != 0}) {
            monitor.Set(on);
            const std::string label = on ? "ports1000" : "ports0";
            const double window = ConfigWindowShown();
            const double spooler = EnumPortsTime();
            const double cold = ColdEnumPortsTime();
            if (run == 0) continue;
            Report("config." + label, window);
            Report("enumports." + label, spooler);
            Report("enumportscold." + label, cold);
        }
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    try {
        const std::string command = argc > 1 ? vellum::win32::Narrow(argv[1]) : "";
        if (command == "ready") {
            Ready();
            return 0;
        }
        if (command == "enumports") {
            EnumPortsTime();
            return 0;
        }
        if (argc < 3)
            throw std::runtime_error("usage: see the comment at the top of bench_driver.cpp");
        const int runs = std::stoi(vellum::win32::Narrow(argv[2]));
        if (command == "ports") {
            Ports(runs);
            return 0;
        }
        if (argc < 4)
            throw std::runtime_error("usage: see the comment at the top of bench_driver.cpp");
        const std::string third = vellum::win32::Narrow(argv[3]);
        if (command == "handover" && argc == 5) {
            Handover(runs, third, vellum::win32::Narrow(argv[4]));
            return 0;
        }
        if (command == "folders" && argc == 6) {
            Folders(runs, third, vellum::win32::Narrow(argv[4]), vellum::win32::Narrow(argv[5]));
            return 0;
        }
        if (argc != 5) throw std::runtime_error(command + " needs <job.ps> <pdf folder>");
        const std::string folder = vellum::win32::Narrow(argv[4]);
        if (command == "startup") {
            Startup(runs, third, folder);
        } else if (command == "convert") {
            Convert(runs, third, folder);
        } else if (command == "memory") {
            Memory(runs, third, folder);
        } else {
            throw std::runtime_error("unknown command " + command);
        }
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_driver: %s\n", e.what());
        return 2;
    }
}
