#pragma once

// What the end-to-end tests of vellum.exe share: the settings in the test prefix's registry,
// temporary folders, and reading a PDF's text back with the machine's pdftotext.

#include <windows.h>

#include <string>

#include "driver/driver.h"

namespace vellum::e2e {

inline constexpr std::chrono::milliseconds kConvertTimeout = 60s;

// The five settings (and the two RedMon ones) under HKLM\SOFTWARE\Vellum.
class VellumRegistry {
public:
    // Removes the whole key, so that no test sees another's settings.
    static void Reset();
    static void Set(const std::string& name, const std::string& value);
    // Empty optional when the value is missing.
    static bool Read(const std::string& keyPath, const std::string& name, std::string& value);
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
void CopyFileTo(const std::string& from, const std::string& to);
void WriteTextFile(const std::string& path, const std::string& text);
std::string ReadTextFile(const std::string& path);

// The text of a PDF, as pdftotext reads it (run on the Unix side through the testbed
// launcher).
std::string PdfText(const std::string& pdfPath);

// Where a test leaves what people look at (screenshots): `name` in the build's test-output
// folder, which is made when missing.
std::string TestOutputPath(const std::string& name);

// vellum.exe next to the test, started with `argsTail`.
Process StartVellum(const std::string& argsTail, const Environment& env = {});

// Where the "Redirected Port" monitor keeps its ports, one subkey per port, under HKLM.
inline constexpr const char* kRedMonPortsKey =
    "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Redirected Port\\Ports";
std::string RedMonPortKey(const std::string& port);

// Runs the rig's setup-printer.exe (registers the monitor, makes a port with empty Command and
// Arguments, and the "Vellum PDF" printer unless told --no-printer) with `argsTail`.
void SetupPrinter(const std::string& argsTail);

// Waits until a process named `imageName` runs that is not one of `known`, and takes it over:
// for programs that the program under test starts (vellum.exe started by RedRun). `witness` is
// the process whose windows a time-out describes.
Process WaitForNewProcess(const Process& witness, const std::string& imageName,
                          const std::vector<DWORD>& known, std::chrono::milliseconds timeout);

}  // namespace vellum::e2e
