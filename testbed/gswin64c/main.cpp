// gswin64c.exe for the test rig: stands in for Windows Ghostscript by running the machine's own
// Unix Ghostscript (VELLUM_GS, default /usr/bin/gs) with the same arguments, Windows paths
// translated (VELLUM_GS=hang: a gs that never ends). It waits for gs, passes on what gs printed to
// its own standard output and error, and exits with gs's exit code; 127 when gs could not be
// started. When the launcher is killed, gs ends with it.

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "arguments.h"
#include "toolkit/win32/handles.h"
#include "toolkit/win32/strings.h"
#include "toolkit/win32/system_error.h"
#include "wine_unix.h"

namespace vellum::testbed {

namespace {

constexpr int kNotStarted = 127;

// Runs gs with its output in two files. A Wine pipe has no Unix descriptor to hand to a Unix
// child, so the output goes through files that the launcher copies to its own handles.
// gs keeps its temporary files in TMPDIR on Unix, as in TEMP on Windows: the launcher hands
// its own TEMP on, so that the folder its caller chose is the one gs uses.
constexpr const char* kShellScript = R"(out=$1 err=$2 tmp=$3
shift 3
[ -n "$tmp" ] && export TMPDIR="$tmp"
# VELLUM_GS=hang: a Ghostscript that never ends, for the tests of the time limit.
[ "$1" = hang ] && set -- sleep 86400
if ! command -v "$1" >/dev/null 2>&1; then
    printf 'gswin64c: Ghostscript not found at "%s" (VELLUM_GS names its Unix path)\n' "$1" >"$err"
    exit 127
fi
# Killing this launcher (Cancel, or the job object when Vellum ends) ends gs too, as it ends
# the real gswin64c.exe: gs gets SIGKILL when the thread that started it goes.
if command -v setpriv >/dev/null 2>&1; then
    exec setpriv --pdeathsig KILL -- "$@" >"$out" 2>"$err"
fi
exec "$@" >"$out" 2>"$err")";

void WriteTo(DWORD stdHandle, const std::string& text) {
    const HANDLE handle = GetStdHandle(stdHandle);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return;  // nobody listens
    size_t done = 0;
    while (done < text.size()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(text.size() - done, 1 << 16));
        if (!WriteFile(handle, text.data() + done, chunk, &written, nullptr) || written == 0) {
            return;
        }
        done += written;
    }
}

// An empty temporary file, deleted with its owner.
class TempFile {
public:
    TempFile() {
        wchar_t folder[MAX_PATH + 1];
        wchar_t name[MAX_PATH + 1];
        const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
        if (length == 0 || length > MAX_PATH || !GetTempFileNameW(folder, L"gsw", 0, name)) {
            throw std::runtime_error(
                win32::SystemErrorText("cannot create a temporary file", GetLastError()));
        }
        path_ = name;
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile() { DeleteFileW(path_.c_str()); }

    const std::wstring& Path() const { return path_; }

    std::string Read() const {
        win32::KernelHandle file(CreateFileW(path_.c_str(), GENERIC_READ,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return {};
        std::string text;
        char buffer[1 << 16];
        DWORD read = 0;
        while (ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
            text.append(buffer, read);
        }
        return text;
    }

private:
    std::wstring path_;
};

std::vector<std::wstring> OwnArguments() {
    int count = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!argv) {
        throw std::runtime_error(
            win32::SystemErrorText("cannot parse the command line", GetLastError()));
    }
    std::vector<std::wstring> args(argv + (count > 0 ? 1 : 0), argv + count);
    LocalFree(argv);
    return args;
}

// The Unix path of the TEMP folder this launcher was given; "" when it has none.
std::string TempFolder(const WinePathMapper& mapper) {
    wchar_t buffer[MAX_PATH + 1];
    const DWORD length = GetEnvironmentVariableW(L"TEMP", buffer, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH) return "";
    return mapper.ToUnix(std::wstring(buffer, length));
}

std::string GhostscriptPath() {
    wchar_t buffer[MAX_PATH + 1];
    const DWORD length = GetEnvironmentVariableW(L"VELLUM_GS", buffer, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH) return "/usr/bin/gs";
    return win32::Narrow(std::wstring(buffer, length));
}

// An output given as an inherited handle ("-sOutputFile=%handle%<hex>", which Windows builds of
// Ghostscript open) cannot reach the Unix gs: gs writes to `stand_in`, copied to the handle after.
HANDLE TakeOutputHandle(std::vector<std::wstring>& args, const TempFile& standIn) {
    constexpr std::wstring_view kPrefix = L"-sOutputFile=%handle%";
    for (std::wstring& arg : args) {
        if (arg.rfind(kPrefix, 0) != 0) continue;
        const auto value = std::stoull(arg.substr(kPrefix.size()), nullptr, 16);
        arg = L"-sOutputFile=" + standIn.Path();
        return reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(value));
    }
    return nullptr;
}

int Run() {
    const WineUnix wine;
    const WinePathMapper mapper(wine);
    std::vector<std::wstring> args = OwnArguments();
    const TempFile handleOutput;
    const HANDLE outputHandle = TakeOutputHandle(args, handleOutput);
    const std::vector<std::string> gsArgs = TranslateArguments(args, mapper);

    const TempFile out;
    const TempFile err;
    std::vector<std::string> argv = {"/bin/sh",
                                     "-c",
                                     kShellScript,
                                     "gswin64c",
                                     mapper.ToUnix(out.Path()),
                                     mapper.ToUnix(err.Path()),
                                     TempFolder(mapper),
                                     GhostscriptPath()};
    argv.insert(argv.end(), gsArgs.begin(), gsArgs.end());
    const int code = wine.Spawn(argv);
    if (outputHandle != nullptr) {
        const std::string pdf = handleOutput.Read();
        DWORD written = 0;
        WriteFile(outputHandle, pdf.data(), static_cast<DWORD>(pdf.size()), &written, nullptr);
    }

    WriteTo(STD_OUTPUT_HANDLE, out.Read());
    WriteTo(STD_ERROR_HANDLE, err.Read());
    return code;
}

}  // namespace

}  // namespace vellum::testbed

int main() {
    try {
        return vellum::testbed::Run();
    } catch (const std::exception& e) {
        vellum::testbed::WriteTo(STD_ERROR_HANDLE, std::string("gswin64c: ") + e.what() + "\n");
        return vellum::testbed::kNotStarted;
    }
}
