// The program's own Win32 bindings against the real (Wine) system: the file-existence test,
// the process runner, and what the program reads about itself.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include <winspool.h>

#include "config/win32/spooler_win32.h"
#include "convert/win32/process_runner_win32.h"
#include "startup/win32/app_info_win32.h"
#include "startup/win32/file_system_win32.h"
#include "toolkit/win32/strings.h"

namespace vellum::win32 {

namespace {

// A fresh folder under the temporary folder, emptied and removed at the end.
class ScratchFolder {
public:
    ScratchFolder() {
        wchar_t temp[MAX_PATH + 1];
        GetTempPathW(MAX_PATH + 1, temp);
        path_ = Narrow(std::wstring(temp)) + "vellum bindings " + std::to_string(GetTickCount64());
        CreateDirectoryW(Widen(path_).c_str(), nullptr);
    }
    ~ScratchFolder() {
        for (const std::string& file : created_) {
            SetFileAttributesW(Widen(file).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(Widen(file).c_str());
            RemoveDirectoryW(Widen(file).c_str());
        }
        RemoveDirectoryW(Widen(path_).c_str());
    }
    std::string Write(const std::string& name, const std::string& text, DWORD attributes = 0) {
        const std::string path = path_ + "\\" + name;
        HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        CloseHandle(file);
        if (attributes != 0) SetFileAttributesW(Widen(path).c_str(), attributes);
        created_.push_back(path);
        return path;
    }
    std::string Folder(const std::string& name) {
        const std::string path = path_ + "\\" + name;
        CreateDirectoryW(Widen(path).c_str(), nullptr);
        created_.push_back(path);
        return path;
    }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
    std::vector<std::string> created_;
};

}  // namespace

TEST(FileExists, OnlyOrdinaryFilesCount) {
    ScratchFolder scratch;
    Win32FileSystem files;
    EXPECT_TRUE(files.FileExists(scratch.Write("gswin64c.exe", "x")));
    EXPECT_TRUE(files.FileExists(scratch.Write("Grüße.exe", "x"))) << "names outside ASCII";
    EXPECT_FALSE(files.FileExists(scratch.Write("hidden.exe", "x", FILE_ATTRIBUTE_HIDDEN)));
    EXPECT_FALSE(files.FileExists(scratch.Write("system.exe", "x", FILE_ATTRIBUTE_SYSTEM)));
    EXPECT_FALSE(files.FileExists(scratch.Folder("folder.exe")));
    EXPECT_FALSE(files.FileExists(scratch.Path()));
    EXPECT_FALSE(files.FileExists(scratch.Path() + "\\missing.exe"));
    EXPECT_FALSE(files.FileExists(""));
}

TEST(ProcessRunner, ReportsExitCodeAndCapturesBothOutputs) {
    Win32ProcessRunner runner;
    const convert::ProcessResult result =
        runner.RunAndWait("cmd /c \"echo to stdout& echo to stderr 1>&2& exit 3\"", SW_HIDE);
    EXPECT_TRUE(result.started);
    EXPECT_EQ(result.exitCode, 3u);
    EXPECT_NE(result.output.find("to stdout"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("to stderr"), std::string::npos) << result.output;
}

TEST(ProcessRunner, OutputLargerThanAnyPipeBufferDoesNotStallTheChild) {
    ScratchFolder scratch;
    const std::string big = scratch.Write("big.txt", std::string(1 << 20, 'x') + "\r\nthe end\r\n");
    Win32ProcessRunner runner;
    const convert::ProcessResult result = runner.RunAndWait("cmd /c type \"" + big + "\"", SW_HIDE);
    EXPECT_EQ(result.exitCode, 0u);
    EXPECT_GE(result.output.size(), 1u << 20);
    EXPECT_NE(result.output.find("the end"), std::string::npos);
}

TEST(ProcessRunner, ProgramThatCannotStartSaysWhy) {
    ScratchFolder scratch;
    const std::string notAProgram = scratch.Write("gswin64c.exe", "this is text, not a program");
    Win32ProcessRunner runner;
    for (const std::string& line :
         {"\"" + scratch.Path() + "\\missing.exe\" -q", "\"" + notAProgram + "\" -q"}) {
        const convert::ProcessResult result = runner.RunAndWait(line, SW_HIDE);
        EXPECT_FALSE(result.started) << line;
        EXPECT_FALSE(result.startError.empty()) << line;
    }
}

TEST(AppInfo, NamesThisProgramAndItsFolder) {
    const toolkit::AppInfo app = ReadAppInfo();
    EXPECT_EQ(app.exeName, "vellum_win32_tests");
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::string self = Narrow(std::wstring(path));
    EXPECT_EQ(app.path, self.substr(0, self.rfind('\\')));
}

}  // namespace vellum::win32

namespace vellum::win32 {

TEST(Spooler, PortListMatchesWhatTheSpoolerReportsDirectly) {
    DWORD needed = 0;
    DWORD count = 0;
    EnumPortsA(nullptr, 2, nullptr, 0, &needed, &count);
    std::vector<BYTE> direct(needed);
    ASSERT_TRUE(EnumPortsA(nullptr, 2, direct.data(), needed, &needed, &count));
    ASSERT_GT(count, 0u) << "the prefix has its standard ports";
    const auto* expected = reinterpret_cast<const PORT_INFO_2A*>(direct.data());

    Win32Spooler spooler;
    ASSERT_EQ(config::EnumeratePorts(spooler, ""), static_cast<std::int32_t>(count));
    for (DWORD i = 0; i < count; ++i) {
        EXPECT_EQ(config::PortTable[i].portName, FromAnsi(expected[i].pPortName));
        EXPECT_EQ(config::PortTable[i].monitorName,
                  expected[i].pMonitorName ? FromAnsi(expected[i].pMonitorName) : "");
    }
    // A second enumeration asks the spooler again rather than reusing an old answer.
    EXPECT_EQ(config::EnumeratePorts(spooler, ""), static_cast<std::int32_t>(count));
}

}  // namespace vellum::win32
