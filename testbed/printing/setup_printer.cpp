// Sets up the printing chain in a Wine prefix: registers the "Redirected Port" monitor,
// creates its ports (each with the Command and Arguments values Vellum probes and writes),
// and adds a PostScript printer on one of them. Run again, it keeps what is there.
//
// With --through-monitor the port is added as RedMon's own Add Port dialog adds it: the
// monitor's XcvData "AddPort", then "SetConfig" with the port's whole configuration (the
// program's output its own, its window hidden, run as the printing user, 300 s delay);
// --log-file makes RedMon write its debug log there.
//
//   setup-printer [--port RPT1:] [--printer "Vellum PDF"] [--ports N] [--no-printer]
//                 [--command TEXT] [--arguments TEXT] [--monitor-dll PATH]
//                 [--through-monitor [--log-file PATH]]
//   setup-printer --list-ports
//   setup-printer --driver-only        only the PostScript driver "Vellum PostScript"

#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <exception>
#include <memory>
#include <optional>
#include <type_traits>
#include <string>
#include <vector>

#include "process.h"
#include "redmon_keys.h"
#include "setup/win32/redmon_config.h"
#include "toolkit/runtime_error.h"
#include "toolkit/win32/handles.h"
#include "toolkit/win32/strings.h"

namespace vellum::testbed {
namespace {

constexpr const wchar_t* kDriverName = L"Vellum PostScript";

struct Options {
    std::wstring port = L"RPT1:";
    std::wstring printer = L"Vellum PDF";
    std::wstring monitorDll;  // empty: vredmon.dll beside this program
    std::optional<std::wstring> command;
    std::optional<std::wstring> arguments;
    std::wstring logFile;
    unsigned extraPorts = 0;
    bool addPrinter = true;
    bool listPorts = false;
    bool throughMonitor = false;
    bool driverOnly = false;
};

[[noreturn]] void Usage(const std::string& why) {
    throw toolkit::RuntimeError(ERROR_INVALID_PARAMETER, "setup-printer",
                                why +
                                    "\nusage: setup-printer [--port NAME] [--printer NAME] "
                                    "[--ports N] [--no-printer] [--command TEXT] "
                                    "[--arguments TEXT] [--monitor-dll PATH] "
                                    "[--through-monitor [--log-file PATH]] | --list-ports | "
                                    "--driver-only");
}

Options ParseOptions(int argc, wchar_t** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::wstring option = argv[i];
        auto value = [&]() -> std::wstring {
            if (i + 1 >= argc) Usage(win32::Narrow(option) + " needs a value");
            return argv[++i];
        };
        if (option == L"--port") {
            options.port = value();
        } else if (option == L"--printer") {
            options.printer = value();
        } else if (option == L"--monitor-dll") {
            options.monitorDll = value();
        } else if (option == L"--command") {
            options.command = value();
        } else if (option == L"--arguments") {
            options.arguments = value();
        } else if (option == L"--ports") {
            const std::wstring count = value();
            wchar_t* end = nullptr;
            const unsigned long n = wcstoul(count.c_str(), &end, 10);
            if (count.empty() || *end != L'\0' || n > 100000)
                Usage("--ports needs a number up to 100000");
            options.extraPorts = static_cast<unsigned>(n);
        } else if (option == L"--no-printer") {
            options.addPrinter = false;
        } else if (option == L"--driver-only") {
            options.driverOnly = true;
        } else if (option == L"--log-file") {
            options.logFile = value();
        } else if (option == L"--through-monitor") {
            options.throughMonitor = true;
        } else if (option == L"--list-ports") {
            options.listPorts = true;
        } else {
            Usage("unknown option " + win32::Narrow(option));
        }
    }
    if (options.port.empty()) Usage("--port needs a name");
    return options;
}

void Check(LONG status, const std::string& what) {
    if (status != ERROR_SUCCESS) ThrowSystemError(what, static_cast<DWORD>(status));
}

win32::RegKey CreateKey(const std::wstring& path) {
    HKEY raw = nullptr;
    Check(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE,
                          nullptr, &raw, nullptr),
          "cannot create HKLM\\" + win32::Narrow(path));
    return win32::RegKey(raw);
}

void SetString(HKEY key, const wchar_t* name, const std::wstring& value) {
    Check(RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
          "cannot write " + win32::Narrow(name));
}

// Writes `value` when given; otherwise makes sure the value exists, leaving what is there.
void EnsureString(HKEY key, const wchar_t* name, const std::optional<std::wstring>& value) {
    if (value) {
        SetString(key, name, *value);
    } else if (RegQueryValueExW(key, name, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        SetString(key, name, L"");
    }
}

std::wstring ModuleFolder() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) ThrowSystemError("no module path", GetLastError());
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

void RegisterMonitor(const Options& options) {
    // A full path works as well as a name in system32 and keeps one copy of the DLL.
    const std::wstring dll =
        options.monitorDll.empty() ? ModuleFolder() + L"vredmon.dll" : options.monitorDll;
    if (GetFileAttributesW(dll.c_str()) == INVALID_FILE_ATTRIBUTES)
        ThrowSystemError("no monitor DLL at " + win32::Narrow(dll), GetLastError());
    win32::RegKey monitor = CreateKey(kMonitorKey);
    SetString(monitor.Get(), L"Driver", dll);
    CreateKey(kPortsKey);
}

void CreatePort(const std::wstring& name, const Options& options, bool main) {
    win32::RegKey port = CreateKey(std::wstring(kPortsKey) + L"\\" + name);
    EnsureString(port.Get(), L"Command", main ? options.command : std::nullopt);
    EnsureString(port.Get(), L"Arguments", main ? options.arguments : std::nullopt);
}

struct PrinterCloser {
    void operator()(HANDLE printer) const { ClosePrinter(printer); }
};
using PrinterHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, PrinterCloser>;

// Sends one XcvData request to the monitor; throws with the monitor's status unless it
// succeeds.
void SendToMonitor(HANDLE xcv, const wchar_t* request, const void* data, DWORD size) {
    DWORD output = 0;
    DWORD needed = 0;
    DWORD status = ERROR_SUCCESS;
    if (!XcvDataW(xcv, request, static_cast<BYTE*>(const_cast<void*>(data)), size,
                  reinterpret_cast<BYTE*>(&output), 0, &needed, &status))
        ThrowSystemError("XcvData " + win32::Narrow(request) + " failed", GetLastError());
    if (status != ERROR_SUCCESS)
        ThrowSystemError("the monitor refused " + win32::Narrow(request),
                         static_cast<DWORD>(status));
}

using win32::kRedMonText;
using win32::RedMonPortConfig;

void Copy(wchar_t (&to)[kRedMonText], const std::wstring& from) {
    if (from.size() >= kRedMonText) Usage("longer than RedMon takes: " + win32::Narrow(from));
    from.copy(to, from.size());
    to[from.size()] = L'\0';
}

void AddPortThroughMonitor(const Options& options) {
    std::wstring name = std::wstring(L",XcvMonitor ") + kMonitorName;
    PRINTER_DEFAULTSW access{nullptr, nullptr, SERVER_ACCESS_ADMINISTER};
    HANDLE raw = nullptr;
    if (!OpenPrinterW(name.data(), &raw, &access))
        ThrowSystemError("cannot open the monitor " + win32::Narrow(kMonitorName), GetLastError());
    PrinterHandle xcv(raw);
    SendToMonitor(xcv.get(), L"AddPort", options.port.c_str(),
                  static_cast<DWORD>((options.port.size() + 1) * sizeof(wchar_t)));
    // The block setup sends, as RedMon's own Add Port dialog does.
    RedMonPortConfig config{};
    config.size = sizeof config;
    config.version = win32::kRedMonVersion;
    Copy(config.port, options.port);
    Copy(config.description, kMonitorName);
    Copy(config.command, options.command.value_or(L""));
    Copy(config.arguments, options.arguments.value_or(L""));
    config.output = 0;      // the program handles the job
    config.showWindow = 2;  // hidden
    config.runUser = 1;
    config.delay = 300;
    if (!options.logFile.empty()) {
        config.logFileUse = 1;
        config.logFileDebug = 1;
        Copy(config.logFileName, options.logFile);
    }
    SendToMonitor(xcv.get(), L"SetConfig", &config, sizeof(config));
}

// wineps.drv needs a PPD. Wine's spooler carries a generic one (resource PPDFILE 1 of
// winspool.drv) for printers it finds without one; the printer uses the same file.
std::wstring WriteGenericPpd() {
    HMODULE winspool = GetModuleHandleW(L"winspool.drv");
    if (!winspool) ThrowSystemError("winspool.drv is not loaded", GetLastError());
    HRSRC resource = FindResourceW(winspool, MAKEINTRESOURCEW(1), L"PPDFILE");
    if (!resource) ThrowSystemError("no generic PPD in winspool.drv", GetLastError());
    HGLOBAL loaded = LoadResource(winspool, resource);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    const DWORD size = SizeofResource(winspool, resource);
    if (!data || size == 0) ThrowSystemError("cannot load the generic PPD", GetLastError());

    wchar_t folder[MAX_PATH];
    DWORD needed = 0;
    if (!GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(folder),
                                    sizeof(folder), &needed))
        ThrowSystemError("no printer driver directory", GetLastError());
    const std::wstring path = std::wstring(folder) + L"\\vellum.ppd";
    win32::KernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) ThrowSystemError("cannot create " + win32::Narrow(path), GetLastError());
    DWORD written = 0;
    if (!WriteFile(file.Get(), data, size, &written, nullptr) || written != size)
        ThrowSystemError("cannot write " + win32::Narrow(path), GetLastError());
    return path;
}

bool PrinterExists(const std::wstring& name) {
    HANDLE printer = nullptr;
    if (!OpenPrinterW(const_cast<wchar_t*>(name.c_str()), &printer, nullptr)) return false;
    ClosePrinter(printer);
    return true;
}

void AddPostScriptDriver() {
    std::wstring ppd = WriteGenericPpd();
    std::wstring driverName = kDriverName;
    std::wstring driverFile = L"wineps.drv";
    DRIVER_INFO_3W driver{};
    driver.cVersion = 3;
    driver.pName = driverName.data();
    driver.pDriverPath = driverFile.data();
    driver.pDataFile = ppd.data();
    driver.pConfigFile = driverFile.data();
    if (!AddPrinterDriverExW(nullptr, 3, reinterpret_cast<BYTE*>(&driver), APD_COPY_NEW_FILES)) {
        const DWORD error = GetLastError();
        if (error != ERROR_PRINTER_DRIVER_ALREADY_INSTALLED)
            ThrowSystemError("cannot add the PostScript driver", error);
    }
}

void AddPostScriptPrinter(const Options& options) {
    if (PrinterExists(options.printer)) return;
    AddPostScriptDriver();
    std::wstring driverName = kDriverName;

    std::wstring printerName = options.printer;
    std::wstring port = options.port;
    std::wstring processor = L"WinPrint";
    std::wstring datatype = L"RAW";
    PRINTER_INFO_2W info{};
    info.pPrinterName = printerName.data();
    info.pPortName = port.data();
    info.pDriverName = driverName.data();
    info.pPrintProcessor = processor.data();
    info.pDatatype = datatype.data();
    info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    HANDLE printer = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&info));
    if (!printer)
        ThrowSystemError("cannot add printer " + win32::Narrow(options.printer), GetLastError());
    ClosePrinter(printer);
}

void ListPorts() {
    DWORD needed = 0;
    DWORD returned = 0;
    EnumPortsW(nullptr, 2, nullptr, 0, &needed, &returned);
    std::vector<BYTE> buffer(needed ? needed : 1);
    if (!EnumPortsW(nullptr, 2, buffer.data(), static_cast<DWORD>(buffer.size()), &needed,
                    &returned))
        ThrowSystemError("EnumPortsW failed", GetLastError());
    const auto* ports = reinterpret_cast<const PORT_INFO_2W*>(buffer.data());
    for (DWORD i = 0; i < returned; ++i) {
        auto text = [](const wchar_t* s) { return s ? win32::Narrow(s, wcslen(s)) : "(null)"; };
        std::printf("%s\t%s\t%s\n", text(ports[i].pPortName).c_str(),
                    text(ports[i].pMonitorName).c_str(), text(ports[i].pDescription).c_str());
    }
}

int Run(int argc, wchar_t** argv) {
    const Options options = ParseOptions(argc, argv);
    if (options.listPorts) {
        ListPorts();
        return 0;
    }
    if (options.driverOnly) {
        AddPostScriptDriver();
        return 0;
    }
    RegisterMonitor(options);
    if (options.throughMonitor)
        AddPortThroughMonitor(options);
    else
        CreatePort(options.port, options, true);
    for (unsigned i = 1; i <= options.extraPorts; ++i)
        CreatePort(L"RPT" + std::to_wstring(i) + L":", options, false);
    if (options.addPrinter) AddPostScriptPrinter(options);
    return 0;
}

}  // namespace
}  // namespace vellum::testbed

int wmain(int argc, wchar_t** argv) {
    try {
        return vellum::testbed::Run(argc, argv);
    } catch (const vellum::toolkit::RuntimeError& e) {
        std::fprintf(stderr, "setup-printer: %s\n", e.Description().c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "setup-printer: %s\n", e.what());
    }
    return 1;
}
