#include "setup/win32/printer_spooler_win32.h"

#include <windows.h>
#include <winspool.h>

#include <memory>
#include <vector>

#include "setup/win32/redmon_config.h"
#include "toolkit/win32/system_error.h"
#include "toolkit/runtime_error.h"
#include "toolkit/win32/handles.h"
#include "toolkit/win32/printer_handle.h"
#include "toolkit/win32/strings.h"

// winspool.h maps these names to its own A/W functions; here they are the seam's.
#undef AddPort
#undef ConfigurePort
#undef DeletePort
#undef AddPrinter

namespace vellum::win32 {

using namespace setup;
namespace {

std::string Text(const wchar_t* text) {
    return text ? Narrow(text, wcslen(text)) : std::string();
}

// Calls an Enum* function of the spooler by its contract: ask the size, allocate, ask again,
// and again while the list grows in between. Returns the buffer and the record count.
template <typename Enum>
std::vector<BYTE> EnumerateAll(const std::string& what, DWORD& count, Enum&& call) {
    std::vector<BYTE> buffer;
    for (;;) {
        DWORD needed = 0;
        count = 0;
        if (call(buffer.empty() ? nullptr : buffer.data(), static_cast<DWORD>(buffer.size()),
                 &needed, &count))
            return buffer;
        const DWORD error = GetLastError();
        if (error != ERROR_INSUFFICIENT_BUFFER || needed <= buffer.size())
            vellum::win32::ThrowSystemError(what, error);
        buffer.resize(needed);
    }
}

PrinterHandle OpenMonitor(const std::string& monitor) {
    std::wstring name = L",XcvMonitor " + Widen(monitor);
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, SERVER_ACCESS_ADMINISTER};
    HANDLE raw = nullptr;
    if (!OpenPrinterW(name.data(), &raw, &defaults))
        vellum::win32::ThrowSystemError("Cannot open the \"" + monitor + "\" port monitor",
                                        GetLastError());
    return PrinterHandle(raw);
}

void Xcv(const std::string& monitor, const wchar_t* command, const void* input, DWORD bytes,
         const std::string& what) {
    const PrinterHandle xcv = OpenMonitor(monitor);
    DWORD output = 0;
    DWORD needed = 0;
    DWORD status = ERROR_SUCCESS;
    if (!XcvDataW(xcv.Get(), command, static_cast<BYTE*>(const_cast<void*>(input)), bytes,
                  reinterpret_cast<BYTE*>(&output), 0, &needed, &status))
        vellum::win32::ThrowSystemError(what, GetLastError());
    if (status != ERROR_SUCCESS) vellum::win32::ThrowSystemError(what, status);
}

void CopyField(wchar_t (&field)[kRedMonText], const std::string& value, const char* name) {
    const std::wstring text = Widen(value);
    if (text.size() >= kRedMonText)
        throw toolkit::VellumError(ERROR_INVALID_PARAMETER,
                                   std::string("The port's ") + name + " is longer than " +
                                       std::to_string(kRedMonText - 1) + " characters.");
    text.copy(field, text.size());
    field[text.size()] = L'\0';
}

}  // namespace

std::vector<PortRecord> PrinterSpooler::Ports() {
    DWORD count = 0;
    const std::vector<BYTE> buffer = EnumerateAll(
        "Cannot list the printer ports", count,
        [](BYTE* b, DWORD s, DWORD* n, DWORD* c) { return EnumPortsW(nullptr, 2, b, s, n, c); });
    std::vector<PortRecord> ports;
    const auto* info = reinterpret_cast<const PORT_INFO_2W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i)
        ports.push_back({Text(info[i].pPortName), Text(info[i].pMonitorName)});
    return ports;
}

std::optional<std::string> PrinterSpooler::MonitorDll(const std::string& monitor) {
    DWORD count = 0;
    const std::vector<BYTE> buffer = EnumerateAll(
        "Cannot list the port monitors", count,
        [](BYTE* b, DWORD s, DWORD* n, DWORD* c) { return EnumMonitorsW(nullptr, 2, b, s, n, c); });
    const auto* info = reinterpret_cast<const MONITOR_INFO_2W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i)
        if (_wcsicmp(info[i].pName ? info[i].pName : L"", Widen(monitor).c_str()) == 0)
            return Text(info[i].pDLLName);
    return std::nullopt;
}

void PrinterSpooler::AddPort(const std::string& monitor, const std::string& port) {
    const std::wstring name = Widen(port);
    Xcv(monitor, L"AddPort", name.c_str(), static_cast<DWORD>((name.size() + 1) * sizeof(wchar_t)),
        "Cannot add the port " + port);
}

void PrinterSpooler::ConfigurePort(const std::string& monitor, const RedirectedPortConfig& config) {
    auto record = std::make_unique<RedMonPortConfig>();
    record->size = sizeof(RedMonPortConfig);
    record->version = kRedMonVersion;
    CopyField(record->port, config.port, "name");
    CopyField(record->description, config.description, "description");
    CopyField(record->command, config.command, "command");
    CopyField(record->arguments, config.arguments, "arguments");
    record->output = config.output;
    record->showWindow = config.showWindow;
    record->runUser = config.runUser;
    record->delay = config.delay;
    Xcv(monitor, L"SetConfig", record.get(), sizeof(RedMonPortConfig),
        "Cannot configure the port " + config.port);
}

void PrinterSpooler::DeletePort(const std::string& monitor, const std::string& port) {
    const std::wstring name = Widen(port);
    Xcv(monitor, L"DeletePort", name.c_str(),
        static_cast<DWORD>((name.size() + 1) * sizeof(wchar_t)), "Cannot remove the port " + port);
}

std::optional<std::string> PrinterSpooler::PrinterPort(const std::string& printer) {
    std::wstring name = Widen(printer);
    HANDLE raw = nullptr;
    if (!OpenPrinterW(name.data(), &raw, nullptr)) {
        const DWORD error = GetLastError();
        if (error == ERROR_INVALID_PRINTER_NAME) return std::nullopt;
        vellum::win32::ThrowSystemError("Cannot open the printer \"" + printer + "\"", error);
    }
    const PrinterHandle handle(raw);
    DWORD count = 0;
    const std::vector<BYTE> buffer = EnumerateAll("Cannot read the printer \"" + printer + "\"",
                                                  count, [&](BYTE* b, DWORD s, DWORD* n, DWORD* c) {
                                                      *c = 1;
                                                      return GetPrinterW(handle.Get(), 2, b, s, n);
                                                  });
    return Text(reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data())->pPortName);
}

bool PrinterSpooler::AddPrinter(const std::string& printer, const std::string& port,
                                const std::string& driver) {
    std::wstring name = Widen(printer);
    std::wstring portName = Widen(port);
    std::wstring driverName = Widen(driver);
    std::wstring processor = L"WinPrint";
    std::wstring datatype = L"RAW";
    PRINTER_INFO_2W info{};
    info.pPrinterName = name.data();
    info.pPortName = portName.data();
    info.pDriverName = driverName.data();
    info.pPrintProcessor = processor.data();
    info.pDatatype = datatype.data();
    info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    HANDLE raw = ::AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&info));
    if (!raw) {
        const DWORD error = GetLastError();
        if (error == ERROR_UNKNOWN_PRINTER_DRIVER) return false;
        vellum::win32::ThrowSystemError("Cannot add the printer \"" + printer + "\"", error);
    }
    ClosePrinter(raw);
    return true;
}

bool PrinterSpooler::InstallDriver(const std::string& driver) {
    // Windows 7 and later install a driver of the system's driver store by name; older
    // systems, and Wine, lack the entry point.
    using Install = HRESULT(WINAPI*)(LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, DWORD);
    HMODULE winspool = GetModuleHandleW(L"winspool.drv");
    const auto install = winspool
                             ? reinterpret_cast<Install>(reinterpret_cast<void*>(
                                   GetProcAddress(winspool, "InstallPrinterDriverFromPackageW")))
                             : nullptr;
    if (!install) return false;
    return SUCCEEDED(install(nullptr, nullptr, Widen(driver).c_str(), nullptr, 0));
}

void PrinterSpooler::DeletePrinter(const std::string& printer) {
    std::wstring name = Widen(printer);
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
    HANDLE raw = nullptr;
    if (!OpenPrinterW(name.data(), &raw, &defaults))
        vellum::win32::ThrowSystemError("Cannot open the printer \"" + printer + "\"",
                                        GetLastError());
    const PrinterHandle handle(raw);
    if (!::DeletePrinter(handle.Get()))
        vellum::win32::ThrowSystemError("Cannot remove the printer \"" + printer + "\"",
                                        GetLastError());
}

}  // namespace vellum::win32
