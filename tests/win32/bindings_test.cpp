// The program's own Win32 bindings against the real (Wine) system: the file-existence test,
// the process runner, and what the program reads about itself.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>
#include <windows.h>

#include <string>
#include <vector>

#include <winspool.h>

#include "config/win32/spooler_win32.h"
#include "convert/win32/process_runner_win32.h"
#include "startup/win32/app_info_win32.h"
#include "startup/win32/user_sessions_win32.h"
#include "convert/leftovers.h"
#include "toolkit/runtime_error.h"
#include "toolkit/win32/file_system_win32.h"
#include "toolkit/win32/process_environment_win32.h"
#include "toolkit/win32/strings.h"
#include "toolkit/win32/system_error.h"

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
    FileSystem files;
    EXPECT_TRUE(files.FileExists(scratch.Write("gswin64c.exe", "x")));
    EXPECT_TRUE(files.FileExists(scratch.Write("Grüße.exe", "x"))) << "names outside ASCII";
    EXPECT_FALSE(files.FileExists(scratch.Write("hidden.exe", "x", FILE_ATTRIBUTE_HIDDEN)));
    EXPECT_FALSE(files.FileExists(scratch.Write("system.exe", "x", FILE_ATTRIBUTE_SYSTEM)));
    EXPECT_FALSE(files.FileExists(scratch.Folder("folder.exe")));
    EXPECT_FALSE(files.FileExists(scratch.Path()));
    EXPECT_FALSE(files.FileExists(scratch.Path() + "\\missing.exe"));
    EXPECT_FALSE(files.FileExists(""));
}

TEST(FileExists, APatternIsNoFileEvenWhenItMatchesOne) {
    ScratchFolder scratch;
    FileSystem files;
    scratch.Write("redrun.exe", "x");
    EXPECT_FALSE(files.FileExists(scratch.Path() + "\\*.exe"));
    EXPECT_FALSE(files.FileExists(scratch.Path() + "\\redru?.exe"));
    EXPECT_FALSE(files.FileExists(scratch.Path() + "\\*"));
}

// The test program declares the code page vellum.exe declares; Windows before 10 1903 ignores
// the declaration, and the conversions then follow the system code page instead.
TEST(Strings, ConvertInTheProcessCodePageWhichTheManifestMakesUtf8) {
    EXPECT_EQ(GetACP(), static_cast<UINT>(CP_UTF8));
    const std::string text = "caf\xC3\xA9 \xD0\x96 \xE6\x97\xA5 \xF0\x9F\x98\x80";
    EXPECT_EQ(Widen(text), L"caf\u00e9 \u0416 \u65e5 \U0001F600");
    EXPECT_EQ(Narrow(Widen(text)), text);
}

TEST(FileSize, CountsAnyFileButNoFolder) {
    ScratchFolder scratch;
    FileSystem files;
    EXPECT_EQ(files.FileSize(scratch.Write("job.ps", "%!PS")), 4u);
    EXPECT_EQ(files.FileSize(scratch.Write("empty.ps", "")), 0u);
    EXPECT_EQ(files.FileSize(scratch.Write("hidden.ps", "ab", FILE_ATTRIBUTE_HIDDEN)), 2u);
    EXPECT_EQ(files.FileSize(scratch.Write("\xD0\x96 \xE6\x97\xA5 \xF0\x9F\x98\x80.ps", "abc")),
              3u);
    EXPECT_FALSE(files.FileSize(scratch.Folder("folder.ps")).has_value());
    EXPECT_FALSE(files.FileSize(scratch.Path() + "\\missing.ps").has_value());
    EXPECT_FALSE(files.FileSize(scratch.Path() + "\\*.ps").has_value());
    EXPECT_FALSE(files.FileSize("").has_value());
}

TEST(FolderExists, OnlyFoldersTheDialogsCanTake) {
    ScratchFolder scratch;
    FileSystem files;
    EXPECT_TRUE(files.FolderExists(scratch.Folder("\xD0\x9F\xD0\x94\xD0\xA4 \xF0\x9F\x93\x84")));
    EXPECT_FALSE(files.FolderExists(scratch.Write("file", "x")));
    EXPECT_FALSE(files.FolderExists(scratch.Path() + "\\missing"));
    EXPECT_FALSE(files.FolderExists(""));

    // A folder that exists by a path of MAX_PATH characters or more (made through the long-path
    // prefix) is still refused: Windows' own calls stop there.
    std::string deep = scratch.Path();
    std::vector<std::wstring> made;
    while (Widen(deep).size() < MAX_PATH + 10) {
        deep += "\\" + std::string(40, 'd');
        made.push_back(L"\\\\?\\" + Widen(deep));
        ASSERT_TRUE(CreateDirectoryW(made.back().c_str(), nullptr)) << GetLastError();
    }
    EXPECT_NE(GetFileAttributesW(made.back().c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(files.FolderExists(deep));
    for (auto it = made.rbegin(); it != made.rend(); ++it) RemoveDirectoryW(it->c_str());
    // Exactly at the limit: 259 characters pass, 260 do not.
    for (const size_t length : {size_t{MAX_PATH - 1}, size_t{MAX_PATH}}) {
        const std::string edge =
            scratch.Path() + "\\" + std::string(length - Widen(scratch.Path()).size() - 1, 'e');
        const std::wstring prefixed = L"\\\\?\\" + Widen(edge);
        ASSERT_TRUE(CreateDirectoryW(prefixed.c_str(), nullptr)) << GetLastError();
        EXPECT_EQ(files.FolderExists(edge), length < MAX_PATH) << length;
        RemoveDirectoryW(prefixed.c_str());
    }
}

TEST(FileSystem, HeldFileStaysOpenToGhostscriptAndIsListedWithItsAge) {
    ScratchFolder scratch;
    FileSystem files;
    const std::string pdf = scratch.Write("a.pdf.0000abcd.vellum-tmp", "%PDF-1.7 whole");
    const auto held = files.Hold(pdf);
    // What a C library's fopen asks: writing, sharing reads and writes but not deletes.
    HANDLE gs = CreateFileW(Widen(pdf).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(gs, INVALID_HANDLE_VALUE) << GetLastError();
    CloseHandle(gs);
    EXPECT_EQ(files.ReadBytes(pdf, 9, 100), "whole");
    EXPECT_TRUE(files.ListFolder(scratch.Path(), "vellum-*").empty());
    const std::vector<toolkit::FolderEntry> listed =
        files.ListFolder(scratch.Path(), "*.VELLUM-tmp");
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_TRUE(listed[0].name == "a.pdf.0000abcd.vellum-tmp" && !listed[0].folder &&
                !listed[0].link && listed[0].ageSeconds >= 0 && listed[0].ageSeconds < 600);
}

TEST(UserSessions, TheJobIsLetReadOrCopiedWholeForItsUserAndNeverOverAFile) {
    ScratchFolder scratch;
    FileSystem files;
    // Larger than one pass of the copy, with its end marked.
    const std::string job = scratch.Write("job.ps", std::string(3 << 20, 'x') + "%%EOF");
    const std::string copy = scratch.Path() + "\\handover job.ps";
    wchar_t user[257];
    DWORD length = 257;
    ASSERT_TRUE(GetUserNameW(user, &length));
    UserSessions sessions;
    EXPECT_EQ(sessions.AllowRead(job, Narrow(user)), "");
    EXPECT_EQ(sessions.PrivateCopy(job, copy, Narrow(user)), "");
    EXPECT_EQ(files.FileSize(copy), files.FileSize(job));
    EXPECT_EQ(files.ReadBytes(copy, 3 << 20, 10), "%%EOF");
    EXPECT_NE(sessions.PrivateCopy(job, copy, Narrow(user)), "");
    sessions.Remove(copy);
    EXPECT_FALSE(files.FileExists(copy));
}

TEST(ProcessEnvironment, ValuesOfAnyLengthComeBackWhole) {
    ProcessEnvironment environment;
    for (const size_t length : {0u, 255u, 256u, 257u, 5000u}) {
        const std::string value(length, 'v');
        ASSERT_TRUE(SetEnvironmentVariableW(L"VELLUM_TEST_VALUE", Widen(value).c_str()));
        EXPECT_EQ(environment.Variable("VELLUM_TEST_VALUE"), value) << length;
    }
    SetEnvironmentVariableW(L"VELLUM_TEST_VALUE", nullptr);
    EXPECT_EQ(environment.Variable("VELLUM_TEST_VALUE"), std::nullopt);
}

TEST(FileSystem, HeldAloneIsOneHoldersAndGoesWithIt) {
    ScratchFolder scratch;
    FileSystem files;
    const std::string path = scratch.Path() + "\\vellum.log.lock";
    EXPECT_TRUE(files.HoldAlone(path) != nullptr && files.HoldAlone(path) == nullptr);
    EXPECT_TRUE(!files.FileSize(path) && files.HoldAlone(path) != nullptr);
}

TEST(FullPath, IsAbsoluteSoAJobNeverStartsWithADash) {
    ScratchFolder scratch;
    FileSystem files;
    wchar_t saved[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, saved);
    ASSERT_TRUE(SetCurrentDirectoryW(Widen(scratch.Path()).c_str()));
    EXPECT_EQ(files.FullPath("-dNOSAFER.ps"), scratch.Path() + "\\-dNOSAFER.ps");
    EXPECT_EQ(files.FullPath(".\\sub\\..\\job.ps"), scratch.Path() + "\\job.ps");
    SetCurrentDirectoryW(saved);
    EXPECT_EQ(files.FullPath("C:\\spool\\job 12.ps"), "C:\\spool\\job 12.ps");
    EXPECT_EQ(files.FullPath(""), "");
}

TEST(ProcessRunner, ReportsExitCodeAndCapturesBothOutputs) {
    ProcessRunner runner;
    const convert::ProcessResult result =
        runner.RunAndWait("cmd /c \"echo to stdout& echo to stderr 1>&2& exit 3\"", SW_HIDE, {});
    EXPECT_TRUE(result.started);
    EXPECT_EQ(result.exitCode, 3u);
    EXPECT_NE(result.output.find("to stdout"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("to stderr"), std::string::npos) << result.output;
}

TEST(ProcessRunner, OutputLargerThanAnyPipeBufferDoesNotStallTheChild) {
    ScratchFolder scratch;
    const std::string big = scratch.Write("big.txt", std::string(1 << 20, 'x') + "\r\nthe end\r\n");
    ProcessRunner runner;
    const convert::ProcessResult result =
        runner.RunAndWait("cmd /c type \"" + big + "\"", SW_HIDE, {});
    EXPECT_EQ(result.exitCode, 0u);
    EXPECT_GE(result.output.size(), 1u << 20);
    EXPECT_NE(result.output.find("the end"), std::string::npos);
}

TEST(ProcessRunner, ProgramThatCannotStartSaysWhy) {
    ScratchFolder scratch;
    const std::string notAProgram = scratch.Write("gswin64c.exe", "this is text, not a program");
    ProcessRunner runner;
    for (const std::string& line :
         {"\"" + scratch.Path() + "\\missing.exe\" -q", "\"" + notAProgram + "\" -q"}) {
        const convert::ProcessResult result = runner.RunAndWait(line, SW_HIDE, {});
        EXPECT_FALSE(result.started) << line;
        EXPECT_FALSE(result.startError.empty()) << line;
        EXPECT_EQ(result.startError.find('%'), std::string::npos)
            << "inserts are filled: " << result.startError;
    }
    const convert::ProcessResult badFormat =
        runner.RunAndWait("\"" + notAProgram + "\"", SW_HIDE, {});
    EXPECT_NE(badFormat.startError.find(notAProgram), std::string::npos) << badFormat.startError;
}

TEST(ProcessRunner, TheProcessGetsTheVariablesAndKeepsTheRestOfTheEnvironment) {
    ProcessRunner runner;
    const convert::ProcessResult result =
        runner.RunAndWait("cmd /c \"echo [%TEMP%] [%Tmp%] [%SystemRoot%]\"", SW_HIDE,
                          {{{"TEMP", "C:\\gs temp Ж"}, {"TMP", "C:\\gs temp Ж"}}, nullptr});
    EXPECT_NE(result.output.find("[C:\\gs temp "), std::string::npos) << result.output;
    EXPECT_EQ(result.output.find("[%"), std::string::npos) << result.output;
    EXPECT_EQ(result.output.find("[]"), std::string::npos) << result.output;
}

namespace {

// Asks for the end once the run has lasted `after`; records every time it was asked.
class EndAfter : public convert::RunObserver {
public:
    explicit EndAfter(std::chrono::milliseconds after) : after_(after) {}
    bool WantsEnd(std::chrono::milliseconds elapsed) override {
        asked.push_back(elapsed);
        return elapsed >= after_;
    }
    std::vector<std::chrono::milliseconds> asked;

private:
    std::chrono::milliseconds after_;
};

}  // namespace

TEST(ProcessRunner, ObserverIsAskedWhileTheProcessRunsAndCanEndIt) {
    ScratchFolder scratch;
    const std::string forever = scratch.Write("forever.bat", ":again\r\ngoto again\r\n");
    ProcessRunner runner;
    EndAfter observer(std::chrono::milliseconds(600));
    const ULONGLONG start = GetTickCount64();
    const convert::ProcessResult result =
        runner.RunAndWait("cmd /c \"" + forever + "\"", SW_HIDE, {{}, &observer});
    EXPECT_TRUE(result.started);
    EXPECT_TRUE(result.cancelled);
    EXPECT_LT(GetTickCount64() - start, 30000u);
    ASSERT_GE(observer.asked.size(), 2u);
    EXPECT_TRUE(std::is_sorted(observer.asked.begin(), observer.asked.end()));
    EXPECT_GE(observer.asked.back().count(), 600);
}

TEST(ProcessRunner, CrashExitCodeComesWithTheSystemsWording) {
    ProcessRunner runner;
    // 0xC0000005 as the signed number cmd takes.
    const convert::ProcessResult result = runner.RunAndWait("cmd /c exit -1073741819", SW_HIDE, {});
    EXPECT_EQ(result.exitCode, 0xC0000005u);
    EXPECT_EQ(result.exitCodeWording, StatusWording(0xC0000005u));
    std::printf("wording of 0xC0000005: \"%s\"\nof 0xC00000FD: \"%s\"\nof 0xC0000409: \"%s\"\n",
                result.exitCodeWording.c_str(), StatusWording(0xC00000FDu).c_str(),
                StatusWording(0xC0000409u).c_str());
}

TEST(SystemMessage, InsertsAreFilledAndMissingOnesAreEmpty) {
    const std::string text = DescribeSystemError(ERROR_BAD_EXE_FORMAT, {"C:\\gs\\gswin64c.exe"});
    EXPECT_NE(text.find("C:\\gs\\gswin64c.exe"), std::string::npos) << text;
    EXPECT_EQ(text.find("%1"), std::string::npos) << text;
    EXPECT_EQ(text.substr(text.size() - 6), " (193)");
    EXPECT_FALSE(DescribeSystemError(ERROR_BAD_EXE_FORMAT, {}).empty());
    EXPECT_EQ(DescribeSystemError(ERROR_FILE_NOT_FOUND, {"x"}),
              DescribeSystemError(ERROR_FILE_NOT_FOUND));
}

TEST(FileSystem, NewFilesAreExclusiveAndSized) {
    ScratchFolder scratch;
    FileSystem files;
    const std::string path = scratch.Path() + "\\out.pdf.0000002a.vellum-tmp";
    EXPECT_TRUE(files.CreateNewFile(path));
    EXPECT_FALSE(files.CreateNewFile(path)) << "a second caller never gets the same file";
    EXPECT_EQ(files.FileSize(path), std::optional<std::uint64_t>(0));
    EXPECT_EQ(files.FileSize(scratch.Write("five.pdf", "12345")), std::optional<std::uint64_t>(5));
    EXPECT_EQ(files.FileSize(scratch.Path()), std::nullopt);
    EXPECT_EQ(files.FileSize(scratch.Path() + "\\missing.pdf"), std::nullopt);
    try {
        files.CreateNewFile(scratch.Path() + "\\no such folder\\x.pdf");
        ADD_FAILURE() << "a missing folder must throw";
    } catch (const toolkit::RuntimeError& e) {
        EXPECT_EQ(e.Number(), static_cast<std::int32_t>(ERROR_PATH_NOT_FOUND));
        EXPECT_FALSE(e.Description().empty());
    }
    files.RemoveFile(path);
    EXPECT_FALSE(files.FileExists(path));
}

TEST(FileSystem, MoveReplacesTheTargetWholeOrLeavesItAsItWas) {
    ScratchFolder scratch;
    FileSystem files;
    const std::string target = scratch.Write("report.pdf", "old");
    const std::string fresh = scratch.Write("report.pdf.1.vellum-tmp", "new and longer");
    files.MoveReplacing(fresh, target);
    EXPECT_EQ(files.FileSize(target), std::optional<std::uint64_t>(14));
    EXPECT_FALSE(files.FileExists(fresh));
    const std::string absent = scratch.Path() + "\\gone.vellum-tmp";
    EXPECT_THROW(files.MoveReplacing(absent, target), toolkit::RuntimeError);
    EXPECT_EQ(files.FileSize(target), std::optional<std::uint64_t>(14));
    const std::string newName = scratch.Path() + "\\first.pdf";
    files.MoveReplacing(scratch.Write("first.pdf.2.vellum-tmp", "x"), newName);
    EXPECT_TRUE(files.FileExists(newName)) << "no earlier file is needed";
    const std::string other = scratch.Write("other.vellum-tmp", "other");
    EXPECT_FALSE(files.MoveNew(other, newName)) << "a taken name is never replaced";
    EXPECT_FALSE(files.MoveNew(other, scratch.Path())) << "nor a folder";
    EXPECT_TRUE(files.MoveNew(other, scratch.Path() + "\\other.pdf"));
    EXPECT_EQ(files.FileSize(newName), std::optional<std::uint64_t>(1));
    files.RemoveFile(newName);
}

TEST(FileSystem, TemporaryFoldersAreFreshAndGoWithEverythingInThem) {
    FileSystem files;
    const std::string first = files.CreateTempFolder();
    const std::string second = files.CreateTempFolder();
    EXPECT_NE(first, second);
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    EXPECT_EQ(first.rfind(Narrow(std::wstring(temp)), 0), 0u) << first;

    const std::wstring inner = Widen(first) + L"\\gs_1\\deeper";
    CreateDirectoryW((Widen(first) + L"\\gs_1").c_str(), nullptr);
    CreateDirectoryW(inner.c_str(), nullptr);
    for (const std::wstring& file : {Widen(first) + L"\\_cfe1.tmp", inner + L"\\locked.tmp"}) {
        HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_READONLY, nullptr);
        CloseHandle(h);
    }
    // Folders made with the ones above them; one that exists is left as it is.
    files.MakeFolders(second + "\\a b\\c\\");
    EXPECT_TRUE(files.FolderExists(second + "\\a b\\c"));
    files.MakeFolders(second + "\\a b");
    EXPECT_THROW(files.MakeFolders(first + "\\_cfe1.tmp\\x"), toolkit::RuntimeError);

    // A copy never replaces; the protected access list is taken (Wine keeps it, checks nothing).
    EXPECT_TRUE(files.CopyNew(first + "\\_cfe1.tmp", second + "\\kept.ps"));
    EXPECT_FALSE(files.CopyNew(first + "\\_cfe1.tmp", second + "\\kept.ps"));
    EXPECT_EQ(files.SetFolderAccess(second, toolkit::kMachineOnlyAccess), "");
    EXPECT_EQ(files.AccountSid("no such account here"), "");

    // By handle: read-only files and the folders in it go too, each through its own handle.
    EXPECT_TRUE(convert::RemoveOwnLeftover(files, first, true));
    files.RemoveFolderTree(second);
    EXPECT_EQ(GetFileAttributesW(Widen(first).c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW(Widen(second).c_str()), INVALID_FILE_ATTRIBUTES);
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

    Spooler spooler;
    ASSERT_EQ(config::EnumeratePorts(spooler, ""), static_cast<std::int32_t>(count));
    for (DWORD i = 0; i < count; ++i) {
        EXPECT_EQ(config::PortTable[i].portName, std::string(expected[i].pPortName));
        EXPECT_EQ(config::PortTable[i].monitorName,
                  expected[i].pMonitorName ? std::string(expected[i].pMonitorName) : "");
    }
}

// Spoolers that answer EnumPortsA level 2 by its contract: records first, texts anywhere in the
// caller's buffer. Windows' own monitors write the texts backwards from the buffer's end; Wine
// packs them right after the records.
struct FakePorts {
    enum class Layout { FromTheEnd, AfterTheRecords };
    Layout layout = Layout::FromTheEnd;
    int ports = 3;
    int growBy = 0;   // ports added after a failed call: the list grows between the calls
    int growths = 1;  // how many times it grows
    int calls = 0;
};
FakePorts fakePorts;

std::string FakePortName(int i) {
    return "RPT" + std::to_string(i + 1) + ":";
}

BOOL WINAPI FakeEnumPorts(LPSTR, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed,
                          LPDWORD returned) {
    ++fakePorts.calls;
    *returned = 0;
    if (level != 2) {
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    const int n = fakePorts.ports;
    DWORD texts = 0;
    for (int i = 0; i < n; ++i)
        texts += static_cast<DWORD>(FakePortName(i).size() + 1 + sizeof("Redirected Port") +
                                    sizeof("Redirected Port"));
    *needed = static_cast<DWORD>(n * sizeof(PORT_INFO_2A)) + texts;
    if (size < *needed) {
        if (fakePorts.growths-- > 0) fakePorts.ports += fakePorts.growBy;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memset(buffer, 0xCC, size);
    auto* records = reinterpret_cast<PORT_INFO_2A*>(buffer);
    LPBYTE front = buffer + n * sizeof(PORT_INFO_2A);
    LPBYTE back = buffer + size;
    auto put = [&](const std::string& text) {
        LPBYTE at;
        if (fakePorts.layout == FakePorts::Layout::FromTheEnd) {
            back -= text.size() + 1;
            at = back;
        } else {
            at = front;
            front += text.size() + 1;
        }
        std::memcpy(at, text.c_str(), text.size() + 1);
        return reinterpret_cast<LPSTR>(at);
    };
    for (int i = 0; i < n; ++i) {
        records[i].pPortName = put(FakePortName(i));
        records[i].pMonitorName = put("Redirected Port");
        records[i].pDescription = put("Redirected Port");
        records[i].fPortType = PORT_TYPE_WRITE;
        records[i].Reserved = 0;
    }
    *returned = static_cast<DWORD>(n);
    return TRUE;
}

std::vector<std::string> ListWith(FakePorts setup) {
    fakePorts = setup;
    Spooler spooler(FakeEnumPorts);
    std::vector<std::string> names;
    const std::optional<std::vector<config::PortRecord>> ports = spooler.ListPorts("");
    if (!ports) return {"<no answer>"};
    for (const config::PortRecord& port : *ports) {
        EXPECT_EQ(port.monitorName, "Redirected Port");
        EXPECT_EQ(port.portType, static_cast<std::uint32_t>(PORT_TYPE_WRITE));
        names.push_back(port.portName);
    }
    return names;
}

TEST(Spooler, TextsAreReadWhereverTheSpoolerPutThem) {
    for (auto layout : {FakePorts::Layout::FromTheEnd, FakePorts::Layout::AfterTheRecords}) {
        EXPECT_EQ(ListWith({layout, 3}), (std::vector<std::string>{"RPT1:", "RPT2:", "RPT3:"}));
        EXPECT_EQ(fakePorts.calls, 1) << "the first call offers room enough";
        const std::vector<std::string> many = ListWith({layout, 1000});
        ASSERT_EQ(many.size(), 1000u);
        EXPECT_EQ(many.back(), "RPT1000:");
        const std::vector<std::string> more = ListWith({layout, 6000});
        ASSERT_EQ(more.size(), 6000u) << "an answer larger than the first buffer";
        EXPECT_EQ(more.back(), "RPT6000:");
        EXPECT_EQ(fakePorts.calls, 2);
    }
}

TEST(Spooler, AListThatGrowsBetweenTheCallsIsAskedForAgain) {
    const std::vector<std::string> names = ListWith({FakePorts::Layout::FromTheEnd, 6000, 1});
    ASSERT_EQ(names.size(), 6001u);
    EXPECT_EQ(names.back(), "RPT6001:");
    EXPECT_EQ(fakePorts.calls, 3);
    EXPECT_EQ(ListWith({FakePorts::Layout::FromTheEnd, 6000, 6000, 1000})[0], "<no answer>")
        << "a spooler that keeps growing is given up on, not asked forever";
}

TEST(Spooler, NoPortsIsAnEmptyList) {
    EXPECT_TRUE(ListWith({FakePorts::Layout::FromTheEnd, 0}).empty());
}

}  // namespace vellum::win32
