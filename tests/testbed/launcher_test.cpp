// The Ghostscript launcher run the way Vellum runs it: an exact Windows command line, its
// standard output and error captured through one pipe, its exit code read from the process.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support.h"
#include "toolkit/win32/handles.h"
#include "toolkit/win32/strings.h"

namespace vellum::testbed {
namespace {

struct Outcome {
    DWORD exitCode = 0;
    std::string output;  // stdout and stderr, as a caller capturing both sees them
};

Outcome RunLauncher(const std::wstring& arguments) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    if (!CreatePipe(&read, &write, &inherit, 0)) throw std::runtime_error("CreatePipe failed");
    win32::KernelHandle readEnd(read);
    win32::KernelHandle writeEnd(write);
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);

    std::wstring commandLine = L"\"" + BinFolder() + L"gswin64c.exe\" " + arguments;
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = write;
    si.hStdError = write;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                        nullptr, nullptr, &si, &pi)) {
        throw std::runtime_error("cannot start gswin64c.exe");
    }
    win32::KernelHandle process(pi.hProcess);
    win32::KernelHandle thread(pi.hThread);
    writeEnd.Reset();  // so that the read ends when the launcher exits

    Outcome outcome;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(read, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        outcome.output.append(buffer, got);
    }
    WaitForSingleObject(process.Get(), INFINITE);
    GetExitCodeProcess(process.Get(), &outcome.exitCode);
    return outcome;
}

std::string UnixPath(const std::wstring& path) {
    using Fn = char* (*)(const wchar_t*);
    auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* unix = fn ? fn(path.c_str()) : nullptr;
    if (!unix) throw std::runtime_error("cannot map " + win32::Narrow(path));
    std::string result(unix);
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

std::wstring PrintArgsScript() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"VELLUM_TEST_PRINT_ARGS", path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(path, length) : L"";
}

TEST(Launcher, VellumsQuotedCommandLineReachesGhostscriptWithUnixPaths) {
    const std::wstring printArgs = PrintArgsScript();
    ASSERT_FALSE(printArgs.empty()) << "VELLUM_TEST_PRINT_ARGS names the argument printer";
    ScopedEnvironment gs(L"VELLUM_GS", printArgs.c_str());
    ScratchFolder scratch;
    const std::wstring dir = scratch.Path();
    ASSERT_TRUE(CreateDirectoryW((dir + L"gs lib").c_str(), nullptr));
    const std::string unixDir = UnixPath(dir.substr(0, dir.size() - 1)) + "/";

    // A fonts folder ending in a backslash has it doubled before the closing quote; the output
    // folder does not exist yet; the PostScript after -c is left alone.
    const Outcome run =
        RunLauncher(L"-I\"" + dir + L"gs lib;;" + dir + L"gs lib\\\\\" " +
                    L"-sDEVICE=pdfwrite -q -sOutputFile=\"" + dir +
                    L"new folder\\report.pdf\" -c save pop (C:\\x) -f \"" + dir + L"job 12.ps\"");
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_EQ(run.output, "-I" + unixDir + "gs lib:" + unixDir + "gs lib/\n" +
                              "-sDEVICE=pdfwrite\n-q\n-sOutputFile=" + unixDir +
                              "new folder/report.pdf\n-c\nsave\npop\n(C:\\x)\n-f\n" + unixDir +
                              "job 12.ps\n");
}

TEST(Launcher, BrokenJobPassesOnTheExitCodeAndGhostscriptsReport) {
    ScratchFolder scratch;
    const Outcome run = RunLauncher(
        L"-q -dBATCH -dNOPAUSE -dSAFER -sDEVICE=pdfwrite "
        L"-sOutputFile=\"" +
        scratch.Path() + L"broken.pdf\" -f \"" + BinFolder() + L"jobs\\broken.ps\"");
    EXPECT_EQ(run.exitCode, 1u);
    // gs prints the error on stdout and its last words on stderr; the caller sees both.
    EXPECT_NE(run.output.find("Error: /undefined in vellumNoSuchOperator"), std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("Unrecoverable error, exit code 1"), std::string::npos) << run.output;
}

TEST(Launcher, GhostscriptThatIsNotThereIs127WithAMessage) {
    ScopedEnvironment gs(L"VELLUM_GS", L"/nonexistent/gs");
    const Outcome run = RunLauncher(L"-v");
    EXPECT_EQ(run.exitCode, 127u);
    EXPECT_NE(run.output.find("Ghostscript not found at \"/nonexistent/gs\""), std::string::npos)
        << run.output;
}

}  // namespace
}  // namespace vellum::testbed
