#include "port_job.h"

#include "port_registry.h"
#include "process.h"
#include "toolkit/runtime_error.h"
#include "toolkit/win32/strings.h"

namespace vellum::testbed {

void PortJob::Start() {
    const std::wstring path = NewTempFile(L"vrm");
    // The file goes away with its last handle, the command's included, so no job is left
    // behind whatever happens to either process.
    spool_.Reset(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (!spool_) ThrowSystemError("cannot create the spool file", GetLastError());
}

void PortJob::Write(const BYTE* data, DWORD size) {
    if (!spool_) Start();
    DWORD written = 0;
    if (!WriteFile(spool_.Get(), data, size, &written, nullptr) || written != size)
        ThrowSystemError("cannot write the spool file", GetLastError());
}

DWORD PortJob::End() {
    if (!spool_) Start();  // an empty document still runs the command
    win32::KernelHandle spool = std::move(spool_);
    if (SetFilePointer(spool.Get(), 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
        ThrowSystemError("cannot rewind the spool file", GetLastError());
    const std::wstring command = ReadPortValue(port_, L"Command").value_or(L"");
    if (command.empty())
        throw toolkit::RuntimeError(ERROR_INVALID_PARAMETER, "vredmon",
                                    "port " + win32::Narrow(port_) + " has no Command");
    const std::wstring arguments = ReadPortValue(port_, L"Arguments").value_or(L"");
    std::wstring commandLine = L"\"" + command + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    return RunAndWait(commandLine, spool.Get());
}

}  // namespace vellum::testbed
