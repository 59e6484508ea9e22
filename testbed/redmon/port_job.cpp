#include "port_job.h"

#include <lmcons.h>

#include <utility>
#include <vector>

#include "port_registry.h"
#include "process.h"
#include "redirection_rules.h"
#include "toolkit/runtime_error.h"
#include "toolkit/win32/strings.h"

namespace vellum::testbed {

namespace {

std::wstring UserName() {
    wchar_t name[UNLEN + 1];
    DWORD length = UNLEN + 1;
    return GetUserNameW(name, &length) ? std::wstring(name) : std::wstring();
}

std::wstring MachineName() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
    return GetComputerNameW(name, &length) ? std::wstring(name, length) : std::wstring();
}

std::wstring SessionId() {
    DWORD session = 0;
    return std::to_wstring(ProcessIdToSessionId(GetCurrentProcessId(), &session) ? session : 0);
}

}  // namespace

void PortJob::Start(const std::wstring& printer, DWORD jobId, const std::wstring& document) {
    printer_ = printer;
    jobId_ = jobId;
    // An application that names no document gets RedMon's own name for it.
    document_ = document.empty() ? L"RedMon" : document;
    const std::wstring path = NewTempFile(L"vrm");
    // The file goes away with its last handle, the command's included, so no job is left
    // behind whatever happens to either process.
    spool_.Reset(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (!spool_) ThrowSystemError("cannot create the spool file", GetLastError());
}

void PortJob::Write(const BYTE* data, DWORD size) {
    if (!spool_) Start(printer_, jobId_, document_);
    DWORD written = 0;
    if (!WriteFile(spool_.Get(), data, size, &written, nullptr) || written != size)
        ThrowSystemError("cannot write the spool file", GetLastError());
}

DWORD PortJob::End() {
    if (!spool_) Start(printer_, jobId_, document_);  // an empty document still runs the command
    win32::KernelHandle spool = std::move(spool_);
    if (SetFilePointer(spool.Get(), 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
        ThrowSystemError("cannot rewind the spool file", GetLastError());
    const std::wstring command = ReadPortValue(port_, L"Command").value_or(L"");
    if (command.empty())
        throw toolkit::RuntimeError(ERROR_INVALID_PARAMETER, "vredmon",
                                    "port " + win32::Narrow(port_) + " has no Command");
    JobFacts job;  // nothing is prompted for: the port's program handles its own output
    job.document = document_;
    job.user = UserName();
    const std::wstring commandLine =
        RedMonCommandLine(command, ReadPortValue(port_, L"Arguments").value_or(L""), job);

    // RedMon adds these to the environment the command inherits (TEMP and TMP only when
    // missing), after what is there.
    std::vector<std::pair<std::wstring, std::wstring>> added = {
        {L"REDMON_PORT", port_},
        {L"REDMON_JOB", std::to_wstring(jobId_)},
        {L"REDMON_PRINTER", printer_},
        {L"REDMON_OUTPUTPRINTER", ReadPortValue(port_, L"Printer").value_or(L"")},
        {L"REDMON_MACHINE", MachineName()},
        {L"REDMON_USER", job.user},
        {L"REDMON_DOCNAME", job.document},
        {L"REDMON_BASENAME", RedMonBaseName(job.document)},
        {L"REDMON_FILENAME", job.fileName},
        {L"REDMON_SESSIONID", SessionId()},
    };
    wchar_t temp[MAX_PATH + 1];
    const DWORD tempLength = GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring tempFolder =
        tempLength > 1 ? std::wstring(temp, tempLength - 1) : std::wstring();  // no last '\'
    for (const wchar_t* name : {L"TEMP", L"TMP"})
        if (GetEnvironmentVariableW(name, nullptr, 0) == 0) added.emplace_back(name, tempFolder);
    return RunAndWait(commandLine, spool.Get(), added);
}

}  // namespace vellum::testbed
