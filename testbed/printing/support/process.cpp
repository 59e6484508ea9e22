#include "process.h"

#include <vector>

#include "redirection_rules.h"
#include "toolkit/runtime_error.h"
#include "toolkit/win32/handles.h"
#include "toolkit/win32/strings.h"

namespace vellum::testbed {

namespace {

// An inheritable copy of `handle` for the child to receive; empty when there is none.
win32::KernelHandle InheritableCopy(HANDLE handle) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return {};
    HANDLE copy = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &copy, 0, TRUE,
                         DUPLICATE_SAME_ACCESS))
        return {};
    return win32::KernelHandle(copy);
}

// This process's environment block with `added` appended, as CreateProcessW takes it with
// CREATE_UNICODE_ENVIRONMENT; empty when nothing is added (the child then inherits ours).
std::vector<wchar_t> EnvironmentBlock(const EnvironmentAdditions& added) {
    std::vector<wchar_t> block;
    if (added.empty()) return block;
    wchar_t* own = GetEnvironmentStringsW();
    if (own != nullptr) {
        wchar_t* end = own;
        while (*end) end += wcslen(end) + 1;
        block.assign(own, end);
        FreeEnvironmentStringsW(own);
    }
    for (const auto& [name, value] : added) {
        const std::wstring entry = name + L"=" + value;
        block.insert(block.end(), entry.begin(), entry.end());
        block.push_back(L'\0');
    }
    block.push_back(L'\0');
    return block;
}

// The file CreateProcess would take for `name`: searched where it searches (the program's
// folder, the current folder, the system folders, PATH), ".exe" appended when it has no
// extension; empty when it is not found or is a folder.
std::wstring SearchProgram(const std::wstring& name) {
    std::vector<wchar_t> found(MAX_PATH);
    for (;;) {
        const DWORD length = SearchPathW(nullptr, name.c_str(), L".exe",
                                         static_cast<DWORD>(found.size()), found.data(), nullptr);
        if (length == 0) return {};
        if (length < found.size()) break;
        found.resize(length);
    }
    const DWORD attributes = GetFileAttributesW(found.data());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return {};
    return found.data();
}

}  // namespace

std::wstring NewTempFile(const wchar_t* prefix) {
    wchar_t folder[MAX_PATH];
    const DWORD length = GetTempPathW(MAX_PATH, folder);
    if (length == 0 || length >= MAX_PATH) ThrowSystemError("no temporary folder", GetLastError());
    wchar_t path[MAX_PATH];
    if (GetTempFileNameW(folder, prefix, 0, path) == 0)
        ThrowSystemError("cannot name a temporary file", GetLastError());
    return path;
}

DWORD RunAndWait(const std::wstring& commandLine, HANDLE input, const EnvironmentAdditions& added) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    win32::KernelHandle in, out, err;
    if (input != nullptr) {
        in = InheritableCopy(input);
        if (!in) ThrowSystemError("cannot pass the job to the command", GetLastError());
        out = InheritableCopy(GetStdHandle(STD_OUTPUT_HANDLE));
        err = InheritableCopy(GetStdHandle(STD_ERROR_HANDLE));
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = in.Get();
        startup.hStdOutput = out.Get();
        startup.hStdError = err.Get();
    }
    // Windows hands the child the line as written; Wine's CreateProcess quotes an unquoted
    // program path unless it is told which program to run, so it is told, found as Windows
    // finds it.
    const std::wstring program = ProgramOfCommandLine(commandLine, SearchProgram);
    if (program.empty())
        ThrowSystemError("cannot start " + win32::Narrow(commandLine), ERROR_FILE_NOT_FOUND);
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    std::vector<wchar_t> environment = EnvironmentBlock(added);
    PROCESS_INFORMATION info{};
    // Wine now and then refuses a start with ERROR_INTERNAL_ERROR while its server is busy;
    // the same start a moment later works. (Windows has no such fault to stand in for.)
    for (int attempt = 1;; ++attempt) {
        if (CreateProcessW(program.c_str(), buffer.data(), nullptr, nullptr,
                           input != nullptr ? TRUE : FALSE, CREATE_UNICODE_ENVIRONMENT,
                           environment.empty() ? nullptr : environment.data(), nullptr, &startup,
                           &info))
            break;
        const DWORD error = GetLastError();
        if (error != ERROR_INTERNAL_ERROR || attempt == 5)
            ThrowSystemError("cannot start " + win32::Narrow(commandLine), error);
        Sleep(200);
    }
    win32::KernelHandle process(info.hProcess);
    win32::KernelHandle thread(info.hThread);
    // The child holds its own copies now; ours would only keep a pipe or file open.
    in.Reset();
    out.Reset();
    err.Reset();
    if (WaitForSingleObject(process.Get(), INFINITE) != WAIT_OBJECT_0)
        ThrowSystemError("cannot wait for " + win32::Narrow(commandLine), GetLastError());
    DWORD code = 0;
    if (!GetExitCodeProcess(process.Get(), &code))
        ThrowSystemError("no exit code from " + win32::Narrow(commandLine), GetLastError());
    return code;
}

}  // namespace vellum::testbed
