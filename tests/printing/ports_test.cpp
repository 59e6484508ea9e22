// The "Redirected Port" monitor as Vellum sees it: setup-printer registers it, and EnumPortsA
// (the call Vellum makes) lists its ports as the registry holds them at that moment.

#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "process.h"
#include "redmon_keys.h"

namespace vellum::testbed {
namespace {

struct Port {
    std::string name;
    std::string monitor;
    std::string description;
    DWORD type = 0;
};

std::string Text(const char* s) {
    return s ? s : "";
}

std::vector<Port> EnumPortsAnsi(DWORD level) {
    DWORD needed = 0;
    DWORD returned = 0;
    EnumPortsA(nullptr, level, nullptr, 0, &needed, &returned);
    std::vector<BYTE> buffer(needed ? needed : 1);
    if (!EnumPortsA(nullptr, level, buffer.data(), static_cast<DWORD>(buffer.size()), &needed,
                    &returned)) {
        ADD_FAILURE() << "EnumPortsA level " << level << " failed: " << GetLastError();
        return {};
    }
    std::vector<Port> ports;
    for (DWORD i = 0; i < returned; ++i) {
        if (level == 1) {
            Port port;
            port.name = Text(reinterpret_cast<PORT_INFO_1A*>(buffer.data())[i].pName);
            ports.push_back(port);
        } else {
            const PORT_INFO_2A& info = reinterpret_cast<PORT_INFO_2A*>(buffer.data())[i];
            ports.push_back({Text(info.pPortName), Text(info.pMonitorName), Text(info.pDescription),
                             info.fPortType});
        }
    }
    return ports;
}

std::optional<Port> FindPort(const std::vector<Port>& ports, const std::string& name) {
    const auto it =
        std::find_if(ports.begin(), ports.end(), [&](const Port& p) { return p.name == name; });
    if (it == ports.end()) return std::nullopt;
    return *it;
}

std::wstring BinFolder() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

DWORD SetupPrinter(const std::wstring& arguments) {
    return RunAndWait(L"\"" + BinFolder() + L"setup-printer.exe\" " + arguments);
}

std::wstring PortKey(const std::wstring& port) {
    return std::wstring(kPortsKey) + L"\\" + port;
}

std::optional<std::wstring> ReadString(const std::wstring& key, const wchar_t* name) {
    wchar_t value[1024];
    DWORD size = sizeof(value);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(value);
}

TEST(RedirectedPortMonitor, SetupMakesPortAndPrinterThatVellumFinds) {
    ASSERT_EQ(SetupPrinter(L""), 0u);

    const std::vector<Port> ports = EnumPortsAnsi(2);
    const std::optional<Port> port = FindPort(ports, "RPT1:");
    ASSERT_TRUE(port) << "RPT1: not listed";
    EXPECT_EQ(port->monitor, "Redirected Port");
    EXPECT_EQ(port->description, "Redirected Port");
    EXPECT_TRUE(port->type & PORT_TYPE_WRITE);
    // The spooler's own ports are still there: loading ours did not push the others out.
    EXPECT_TRUE(FindPort(ports, "LPT1:"));
    EXPECT_TRUE(FindPort(EnumPortsAnsi(1), "RPT1:"));

    // Vellum probes a port by reading Arguments, so both values must exist (empty unless a
    // test or the configuration window has bound the port already).
    EXPECT_TRUE(ReadString(PortKey(L"RPT1:"), L"Arguments"));
    EXPECT_TRUE(ReadString(PortKey(L"RPT1:"), L"Command"));

    HANDLE printer = nullptr;
    ASSERT_TRUE(OpenPrinterW(const_cast<wchar_t*>(L"Vellum PDF"), &printer, nullptr));
    DWORD needed = 0;
    GetPrinterW(printer, 2, nullptr, 0, &needed);
    std::vector<BYTE> info(needed);
    ASSERT_TRUE(GetPrinterW(printer, 2, info.data(), needed, &needed));
    EXPECT_STREQ(reinterpret_cast<PRINTER_INFO_2W*>(info.data())->pPortName, L"RPT1:");
    ClosePrinter(printer);
}

TEST(RedirectedPortMonitor, SetupAgainKeepsWhatThePortWasGiven) {
    ASSERT_EQ(SetupPrinter(L"--command C:\\redrun.exe --arguments \"x \\\"%1\\\"\""), 0u);
    ASSERT_EQ(SetupPrinter(L""), 0u);
    EXPECT_EQ(ReadString(PortKey(L"RPT1:"), L"Command"), L"C:\\redrun.exe");
    EXPECT_EQ(ReadString(PortKey(L"RPT1:"), L"Arguments"), L"x \"%1\"");
    ASSERT_EQ(SetupPrinter(L"--command \"\" --arguments \"\""), 0u);
    EXPECT_EQ(ReadString(PortKey(L"RPT1:"), L"Command"), L"");
}

TEST(RedirectedPortMonitor, PortsFollowTheRegistryFromTheNextCall) {
    ASSERT_EQ(SetupPrinter(L"--no-printer"), 0u);
    const std::wstring key = PortKey(L"RPT hand made:");
    HKEY raw = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                              &raw, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(raw);
    const std::optional<Port> added = FindPort(EnumPortsAnsi(2), "RPT hand made:");
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, key.c_str());
    ASSERT_TRUE(added);
    EXPECT_EQ(added->monitor, "Redirected Port");
    EXPECT_FALSE(FindPort(EnumPortsAnsi(2), "RPT hand made:"));
}

TEST(RedirectedPortMonitor, ListsEveryOneOfManyPorts) {
    constexpr int kPorts = 150;
    ASSERT_EQ(SetupPrinter(L"--no-printer --ports " + std::to_wstring(kPorts)), 0u);
    const std::vector<Port> ports = EnumPortsAnsi(2);
    const std::wstring last = PortKey(L"RPT" + std::to_wstring(kPorts) + L":");
    EXPECT_EQ(ReadString(last, L"Arguments"), L"") << "a new port needs its Arguments value";
    // Others use this prefix too: leave only the one port setup-printer makes by default.
    for (int i = 2; i <= kPorts; ++i)
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, PortKey(L"RPT" + std::to_wstring(i) + L":").c_str());
    int listed = 0;
    for (int i = 1; i <= kPorts; ++i) {
        const std::optional<Port> port = FindPort(ports, "RPT" + std::to_string(i) + ":");
        if (port && port->monitor == "Redirected Port") ++listed;
    }
    EXPECT_EQ(listed, kPorts);
}

}  // namespace
}  // namespace vellum::testbed
