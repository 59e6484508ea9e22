#include "e2e_support.h"

#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "toolkit/win32/strings.h"
#include "toolkit/win32/system_error.h"

namespace vellum::e2e {

namespace {

constexpr wchar_t kSettingsKey[] = L"SOFTWARE\\Vellum";

void Check(LSTATUS status, const std::string& what) {
    if (status != ERROR_SUCCESS)
        throw std::runtime_error(what + ": " + win32::SystemMessage(static_cast<DWORD>(status)));
}

}  // namespace

void VellumRegistry::Reset() {
    for (const HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        const LSTATUS status = RegDeleteTreeW(root, kSettingsKey);
        if (status != ERROR_FILE_NOT_FOUND) Check(status, "removing Software\\Vellum");
        RegDeleteKeyW(root, kSettingsKey);
    }
}

void VellumRegistry::Set(const std::string& name, const std::string& value, HKEY root) {
    const std::wstring wide = win32::Widen(value);
    Check(RegSetKeyValueW(root, kSettingsKey, win32::Widen(name).c_str(), REG_SZ, wide.c_str(),
                          static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t))),
          "writing setting " + name);
}

bool VellumRegistry::Read(const std::string& keyPath, const std::string& name, std::string& value,
                          HKEY root) {
    DWORD size = 0;
    const std::wstring key = win32::Widen(keyPath);
    const std::wstring valueName = win32::Widen(name);
    if (RegGetValueW(root, key.c_str(), valueName.c_str(), RRF_RT_REG_SZ, nullptr, nullptr,
                     &size) != ERROR_SUCCESS)
        return false;
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1);
    if (RegGetValueW(root, key.c_str(), valueName.c_str(), RRF_RT_REG_SZ, nullptr, buffer.data(),
                     &size) != ERROR_SUCCESS)
        return false;
    value = win32::Narrow(std::wstring(buffer.data()));
    return true;
}

bool VellumRegistry::Exists(const std::string& keyPath, const std::string& name) {
    std::string ignored;
    return Read(keyPath, name, ignored);
}

void WriteCompleteSettings(const std::string& defDir, bool sendMail) {
    VellumRegistry::Reset();
    VellumRegistry::Set("gsExe", SiblingPath("gswin64c.exe"));
    VellumRegistry::Set("gsFonts", "");
    VellumRegistry::Set("gsLib", SiblingPath("jobs"));
    VellumRegistry::Set("sendMail", sendMail ? "1" : "0");
    VellumRegistry::Set("defDir", defDir);
}

TempFolder::TempFolder(const std::string& name) {
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    path_ = win32::Narrow(std::wstring(temp)) + name + "-" + std::to_string(GetCurrentProcessId()) +
            "-" + std::to_string(GetTickCount64());
    if (!CreateDirectoryW(win32::Widen(path_).c_str(), nullptr))
        throw std::runtime_error("cannot create " + path_);
}

TempFolder::~TempFolder() {
    std::wstring from = win32::Widen(path_);
    from.push_back(L'\0');  // the list of paths ends with an extra NUL
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NO_UI;
    SHFileOperationW(&op);
}

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(win32::Widen(folder + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = win32::Narrow(std::wstring(found.cFileName));
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileW(find, &found));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(win32::Widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void CopyFileTo(const std::string& from, const std::string& to) {
    if (!CopyFileW(win32::Widen(from).c_str(), win32::Widen(to).c_str(), FALSE))
        throw std::runtime_error("cannot copy " + from + " to " + to + ": " +
                                 win32::SystemMessage(GetLastError()));
}

void WriteTextFile(const std::string& path, const std::string& text) {
    std::ofstream out(win32::Widen(path).c_str(), std::ios::binary);
    out << text;
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadTextFile(const std::string& path) {
    std::ifstream in(win32::Widen(path).c_str(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

namespace {

std::string Word(int i) {
    char word[16];
    std::snprintf(word, sizeof word, "word%03d", i);
    return word;
}

}  // namespace

void WriteNumberedDocument(const std::string& path, int lines) {
    std::string document;
    for (int i = 1; i <= lines; ++i)
        document += "Line " + std::to_string(i) + " of the document carries " + Word(i) + ".\r\n";
    WriteTextFile(path, document);
}

std::string MissingFromNumberedDocument(const std::string& pdfText, int lines, int pages) {
    std::string missing;
    for (int i = 1; i <= lines; ++i)
        if (pdfText.find(Word(i)) == std::string::npos) missing += Word(i) + " ";
    if (std::count(pdfText.begin(), pdfText.end(), '\f') < pages)
        missing += "(fewer than " + std::to_string(pages) + " pages)";
    return missing;
}

std::string PdfText(const std::string& pdfPath) {
    const std::string textPath = pdfPath + ".txt";
    Process pdftotext =
        Process::Start(SiblingPath("gswin64c.exe"), "\"" + pdfPath + "\" \"" + textPath + "\"",
                       {{"VELLUM_GS", "/usr/bin/pdftotext"}});
    const DWORD code = pdftotext.WaitExitCode(30s);
    if (code != 0) throw std::runtime_error("pdftotext failed on " + pdfPath);
    std::string text = ReadTextFile(textPath);
    DeleteFileW(win32::Widen(textPath).c_str());
    return text;
}

std::string RunUnixScript(const std::string& script, const std::vector<std::string>& args) {
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    const std::string base = win32::Narrow(std::wstring(temp)) + "vellum-e2e-" +
                             std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(GetTickCount64());
    const std::string scriptPath = base + ".sh";
    const std::string outputPath = base + ".out";
    WriteTextFile(scriptPath, "out=$1\nshift\nexec >\"$out\" 2>&1\n" + script);
    std::string tail = "\"" + scriptPath + "\" \"" + outputPath + "\"";
    for (const std::string& arg : args) tail += " \"" + arg + "\"";
    Process shell = Process::Start(SiblingPath("gswin64c.exe"), tail, {{"VELLUM_GS", "/bin/sh"}});
    const DWORD code = shell.WaitExitCode(30s);
    std::string output = ReadTextFile(outputPath);
    DeleteFileW(win32::Widen(scriptPath).c_str());
    DeleteFileW(win32::Widen(outputPath).c_str());
    if (code != 0) throw std::runtime_error("the Unix script failed: " + output);
    return output;
}

std::vector<std::string> UnixProcessesWith(const std::string& text) {
    // "[l]oop" finds "loop" but not itself: the script's own processes carry the pattern. A
    // process may end while the list is read.
    const std::string pattern = "[" + text.substr(0, 1) + "]" + text.substr(1);
    const std::string listing = RunUnixScript(
        "for d in /proc/[0-9]*; do\n"
        "    line=$({ tr '\\0' ' ' <\"$d/cmdline\"; } 2>/dev/null) || continue\n"
        "    printf '%s\\n' \"$line\" | grep -q -- \"$1\" && printf '%s\\n' \"$line\"\n"
        "done\n"
        "exit 0\n",
        {pattern});
    std::vector<std::string> lines;
    std::istringstream in(listing);
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) lines.push_back(line);
    return lines;
}

std::string SaveScreenshot(HWND window, const std::string& name) {
    const std::string bmp = TestOutputPath(name + ".bmp");
    const std::string png = TestOutputPath(name + ".png");
    SaveWindowImage(window, bmp);
    RunUnixScript("convert \"$1\" \"$2\" && rm -f \"$1\"\n", {bmp, png});
    return png;
}

Shown Seen(const MessageBoxInfo& box) {
    return Shown{box.title, box.text, box.icon, box.buttons};
}

void PrintTo(const Shown& shown, std::ostream* out) {
    std::string text;
    for (char c : shown.text) text += c == '\r' ? std::string("\\r") : std::string(1, c);
    *out << "\"" << shown.title << "\" (" << IconName(shown.icon) << ") buttons";
    for (const std::string& button : shown.buttons) *out << " \"" << button << "\"";
    *out << ":\n" << text;
}

std::string TestOutputPath(const std::string& name) {
    // The programs live in <build>\bin; the output goes beside them.
    std::string folder = SiblingPath("");
    while (!folder.empty() && folder.back() == '\\') folder.pop_back();
    folder = folder.substr(0, folder.find_last_of('\\')) + "\\test-output";
    CreateDirectoryW(win32::Widen(folder).c_str(), nullptr);
    return folder + "\\" + name;
}

Process StartVellum(const std::string& argsTail, const Environment& env,
                    const std::string& desktop) {
    return Process::Start(SiblingPath("vellum.exe"), argsTail, env, "", desktop);
}

namespace {

constexpr const char* kInstalledFiles[] = {"vellum.exe", "VellumRegistry.dll"};

std::string ProgramFilesFolder() {
    wchar_t folder[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"ProgramFiles", folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) throw std::runtime_error("ProgramFiles is not set");
    return win32::Narrow(folder, length);
}

}  // namespace

InstalledVellum::InstalledVellum() : folder_(ProgramFilesFolder() + "\\Vellum") {
    if (!CreateDirectoryW(win32::Widen(folder_).c_str(), nullptr) &&
        GetLastError() != ERROR_ALREADY_EXISTS)
        throw std::runtime_error("cannot create " + folder_ + ": " +
                                 win32::SystemMessage(GetLastError()));
    for (const char* file : kInstalledFiles) CopyFileTo(SiblingPath(file), folder_ + "\\" + file);
}

InstalledVellum::~InstalledVellum() {
    for (const char* file : kInstalledFiles)
        DeleteFileW(win32::Widen(folder_ + "\\" + file).c_str());
    RemoveDirectoryW(win32::Widen(folder_).c_str());
}

Process InstalledVellum::Start(const std::string& commandLine, const Environment& env) const {
    return Process::StartVerbatim(Exe(), commandLine, env);
}

std::string RedMonPortKey(const std::string& port) {
    return std::string(kRedMonPortsKey) + "\\" + port;
}

void SetupPrinter(const std::string& argsTail) {
    Process setup = Process::Start(SiblingPath("setup-printer.exe"), argsTail);
    const DWORD code = setup.WaitExitCode(60s);
    if (code != 0)
        throw std::runtime_error("setup-printer " + argsTail + " failed with " +
                                 std::to_string(code));
}

}  // namespace vellum::e2e
