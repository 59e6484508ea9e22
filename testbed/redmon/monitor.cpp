// The "Redirected Port" port monitor: the spooler's entry points. Every entry point catches
// everything, since an exception must not cross into the spooler, and reports a failure the
// spooler's way (FALSE and the last error), logging why.

#include <windows.h>
#include <winspool.h>
#include <winsplp.h>

#include <exception>
#include <string>
#include <vector>

#include "log.h"
#include "port_job.h"
#include "port_registry.h"
#include "redmon_keys.h"
#include "toolkit/runtime_error.h"
#include "toolkit/win32/strings.h"

namespace vellum::testbed {
namespace {

constexpr const char* kWho = "vredmon";
constexpr const wchar_t* kDescription = L"Redirected Port";

BOOL Fail(const std::string& where, DWORD code, const std::string& why) {
    Log(kWho, where + " failed: " + why);
    SetLastError(code);
    return FALSE;
}

BOOL Fail(const std::string& where) {
    try {
        throw;
    } catch (const toolkit::RuntimeError& e) {
        const DWORD code = e.Number() > 0 ? static_cast<DWORD>(e.Number()) : ERROR_GEN_FAILURE;
        return Fail(where, code, e.Description());
    } catch (const std::exception& e) {
        return Fail(where, ERROR_GEN_FAILURE, e.what());
    } catch (...) {
        return Fail(where, ERROR_GEN_FAILURE, "unknown exception");
    }
}

// Lays out PORT_INFO_1W or _2W records followed by their texts, packed from the end of the
// buffer as the spooler does.
class PortInfoWriter {
public:
    PortInfoWriter(BYTE* buffer, DWORD size) : buffer_(buffer), end_(buffer + size) {}

    wchar_t* Text(const std::wstring& text) {
        const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
        end_ -= bytes;
        auto* at = reinterpret_cast<wchar_t*>(end_);
        text.copy(at, text.size());
        at[text.size()] = L'\0';
        return at;
    }

    template <typename Info>
    Info* Record(size_t index) {
        return reinterpret_cast<Info*>(buffer_) + index;
    }

private:
    BYTE* buffer_;
    BYTE* end_;
};

DWORD TextBytes(const std::wstring& text) {
    return static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
}

BOOL WINAPI EnumPorts(HANDLE, LPWSTR, DWORD level, LPBYTE ports, DWORD size, LPDWORD needed,
                      LPDWORD returned) {
    try {
        if (needed) *needed = 0;
        if (returned) *returned = 0;
        if (level != 1 && level != 2)
            return Fail("EnumPorts", ERROR_INVALID_LEVEL, "level " + std::to_string(level));
        const std::vector<std::wstring> names = ListPorts();
        const std::wstring monitor = kMonitorName;
        DWORD total = 0;
        for (const std::wstring& name : names) {
            total += TextBytes(name);
            if (level == 1)
                total += sizeof(PORT_INFO_1W);
            else
                total += sizeof(PORT_INFO_2W) + TextBytes(monitor) + TextBytes(kDescription);
        }
        if (needed) *needed = total;
        if (ports == nullptr || size < total) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return FALSE;
        }
        PortInfoWriter writer(ports, size);
        for (size_t i = 0; i < names.size(); ++i) {
            if (level == 1) {
                writer.Record<PORT_INFO_1W>(i)->pName = writer.Text(names[i]);
            } else {
                PORT_INFO_2W* info = writer.Record<PORT_INFO_2W>(i);
                info->pPortName = writer.Text(names[i]);
                info->pMonitorName = writer.Text(monitor);
                info->pDescription = writer.Text(kDescription);
                info->fPortType = PORT_TYPE_WRITE;
                info->Reserved = 0;
            }
        }
        if (returned) *returned = static_cast<DWORD>(names.size());
        return TRUE;
    } catch (...) {
        return Fail("EnumPorts");
    }
}

BOOL WINAPI OpenPort(HANDLE, LPWSTR name, PHANDLE handle) {
    try {
        if (name == nullptr || handle == nullptr)
            return Fail("OpenPort", ERROR_INVALID_PARAMETER, "no port name");
        *handle = new PortJob(name);
        return TRUE;
    } catch (...) {
        return Fail("OpenPort");
    }
}

PortJob* JobOf(HANDLE handle) {
    return static_cast<PortJob*>(handle);
}

std::string Where(const char* what, HANDLE handle) {
    return handle ? std::string(what) + "(" + win32::Narrow(JobOf(handle)->Port()) + ")" : what;
}

BOOL WINAPI StartDocPort(HANDLE handle, LPWSTR printer, DWORD jobId, DWORD level, LPBYTE docInfo) {
    try {
        if (handle == nullptr) return Fail("StartDocPort", ERROR_INVALID_HANDLE, "no port");
        // DOC_INFO_1, _2 and _3 all begin with the document's name.
        const wchar_t* document = docInfo != nullptr && level >= 1 && level <= 3
                                      ? reinterpret_cast<const DOC_INFO_1W*>(docInfo)->pDocName
                                      : nullptr;
        JobOf(handle)->Start(printer ? printer : L"", jobId, document ? document : L"");
        return TRUE;
    } catch (...) {
        return Fail(Where("StartDocPort", handle));
    }
}

BOOL WINAPI WritePort(HANDLE handle, LPBYTE data, DWORD size, LPDWORD written) {
    try {
        if (written) *written = 0;
        if (handle == nullptr) return Fail("WritePort", ERROR_INVALID_HANDLE, "no port");
        JobOf(handle)->Write(data, size);
        if (written) *written = size;
        return TRUE;
    } catch (...) {
        return Fail(Where("WritePort", handle));
    }
}

BOOL WINAPI ReadPort(HANDLE, LPBYTE, DWORD, LPDWORD read) {
    // Nothing ever comes back from a redirected port.
    if (read) *read = 0;
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
}

BOOL WINAPI EndDocPort(HANDLE handle) {
    try {
        if (handle == nullptr) return Fail("EndDocPort", ERROR_INVALID_HANDLE, "no port");
        const DWORD code = JobOf(handle)->End();
        if (code != 0)
            Log(kWho, Where("EndDocPort", handle) + ": the command exited with code " +
                          std::to_string(code));
        return TRUE;
    } catch (...) {
        return Fail(Where("EndDocPort", handle));
    }
}

BOOL WINAPI ClosePort(HANDLE handle) {
    delete JobOf(handle);
    return TRUE;
}

VOID WINAPI Shutdown(HANDLE) {}

MONITOR2 monitor = [] {
    MONITOR2 table{};
    table.cbSize = sizeof(MONITOR2);
    table.pfnEnumPorts = EnumPorts;
    table.pfnOpenPort = OpenPort;
    table.pfnStartDocPort = StartDocPort;
    table.pfnWritePort = WritePort;
    table.pfnReadPort = ReadPort;
    table.pfnEndDocPort = EndDocPort;
    table.pfnClosePort = ClosePort;
    table.pfnShutdown = Shutdown;
    return table;
}();

}  // namespace
}  // namespace vellum::testbed

extern "C" __declspec(dllexport) LPMONITOR2 WINAPI
    InitializePrintMonitor2(PMONITORINIT, PHANDLE monitor) {
    // The monitor keeps no state of its own; the handle only has to be non-null.
    static int instance = 0;
    if (monitor) *monitor = &instance;
    return &vellum::testbed::monitor;
}
