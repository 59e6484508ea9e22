#pragma once

// What the end-to-end tests of vellum.exe share: the settings in the test prefix's registry,
// temporary folders, and reading a PDF's text back with the machine's pdftotext.

#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

#include "driver/driver.h"

namespace vellum::e2e {

inline constexpr std::chrono::milliseconds kConvertTimeout = 60s;

// The settings (and the two RedMon ones) under HKLM\SOFTWARE\Vellum, and the user's own under
// HKCU\Software\Vellum.
class VellumRegistry {
public:
    // Removes the whole key, so that no test sees another's settings.
    static void Reset();
    static void Set(const std::string& name, const std::string& value,
                    HKEY root = HKEY_LOCAL_MACHINE);
    // Empty optional when the value is missing.
    static bool Read(const std::string& keyPath, const std::string& name, std::string& value,
                     HKEY root = HKEY_LOCAL_MACHINE);
    static bool Exists(const std::string& keyPath, const std::string& name);
};

// Settings that pass start-up validation: the testbed Ghostscript launcher, its lib folder,
// and `defDir` as the default PDF folder.
void WriteCompleteSettings(const std::string& defDir, bool sendMail = false);

// A fresh folder under the temporary folder, removed with everything in it at the end.
class TempFolder {
public:
    explicit TempFolder(const std::string& name);
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder();
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

bool FileExists(const std::string& path);
// The names in `folder` ("." and ".." left out), sorted; none when it cannot be listed.
std::vector<std::string> FilesIn(const std::string& folder);
void CopyFileTo(const std::string& from, const std::string& to);
void WriteTextFile(const std::string& path, const std::string& text);
std::string ReadTextFile(const std::string& path);

// The text of a PDF, as pdftotext reads it (run on the Unix side through the testbed
// launcher).
std::string PdfText(const std::string& pdfPath);

// A printed document of `lines` numbered lines, each with its own word ("word001"...), written
// to `path` as text: several pages for the printing chains.
void WriteNumberedDocument(const std::string& path, int lines);

// The words of such a document that `pdfText` lacks, and whether it has fewer than `pages`
// pages (pdftotext ends every page with a form feed); "" when all is there.
std::string MissingFromNumberedDocument(const std::string& pdfText, int lines, int pages);

// Runs the shell script `script` on the Unix side (through the testbed launcher) with
// `args`, Windows paths among them as Unix paths, and returns what it printed.
std::string RunUnixScript(const std::string& script, const std::vector<std::string>& args);

// The command lines of the Unix processes (Wine's included) whose command line contains
// `text`: how a test sees the Ghostscript that the launcher started.
std::vector<std::string> UnixProcessesWith(const std::string& text);

// Saves what the screen shows of `window` as <name>.png in the test-output folder
// (TestOutputPath) and returns its path.
std::string SaveScreenshot(HWND window, const std::string& name);

// What a user sees of a message box, to compare whole: a failing check prints all of it.
struct Shown {
    std::string title;
    std::string text;
    Icon icon = Icon::None;
    std::vector<std::string> buttons{"OK"};
    bool operator==(const Shown&) const = default;
};
Shown Seen(const MessageBoxInfo& box);
void PrintTo(const Shown& shown, std::ostream* out);

// Where a test leaves what people look at (screenshots): `name` in the build's test-output
// folder, which is made when missing.
std::string TestOutputPath(const std::string& name);

// vellum.exe next to the test, started with `argsTail` (on `desktop`, "station\\desktop", when
// given).
Process StartVellum(const std::string& argsTail, const Environment& env = {},
                    const std::string& desktop = "");

// vellum.exe and VellumRegistry.dll side by side in "Vellum" under the Program Files folder (a
// name with a blank, as on every Windows machine), as a user installs them; removed again at the
// end. Programs started from there must have ended first.
class InstalledVellum {
public:
    InstalledVellum();
    InstalledVellum(const InstalledVellum&) = delete;
    InstalledVellum& operator=(const InstalledVellum&) = delete;
    ~InstalledVellum();
    const std::string& Folder() const { return folder_; }
    std::string Exe() const { return folder_ + "\\vellum.exe"; }
    // The installed vellum.exe started with exactly `commandLine`, as Windows starts a program
    // for RedRun, a shortcut or the Run box: an unquoted path stays unquoted.
    Process Start(const std::string& commandLine, const Environment& env = {}) const;

private:
    std::string folder_;
};

// Where the "Redirected Port" monitor keeps its ports, one subkey per port, under HKLM.
inline constexpr const char* kRedMonPortsKey =
    "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Redirected Port\\Ports";
std::string RedMonPortKey(const std::string& port);

// Runs the rig's setup-printer.exe (registers the monitor, makes a port with empty Command and
// Arguments, and the "Vellum PDF" printer unless told --no-printer) with `argsTail`.
void SetupPrinter(const std::string& argsTail);

}  // namespace vellum::e2e
