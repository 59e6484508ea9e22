#pragma once

// Which of Ghostscript's arguments name files, and how they reach the Unix side. Windows callers
// pass Windows paths; the machine's own gs only understands Unix ones.

#include <string>
#include <vector>

namespace vellum::testbed {

// Maps Windows paths to Unix paths. The Wine binding asks Wine; tests use a fake.
class PathMapper {
public:
    virtual ~PathMapper() = default;
    // True when something exists at the path (relative paths count from the current folder).
    virtual bool Exists(const std::wstring& path) const = 0;
    // The Unix path (UTF-8) for a Windows path, which need not exist yet.
    // Throws std::runtime_error when the path cannot be mapped.
    virtual std::string ToUnix(const std::wstring& path) const = 0;
};

// Drive letter and colon ("C:", "z:\x"), or a backslash anywhere.
bool LooksLikeWindowsPath(const std::wstring& arg);

// Ghostscript's arguments with their paths translated, in UTF-8:
// - "-I<dirs>" and "-I" "<dirs>": each non-empty ";"-separated folder, joined with ":";
// - "-sOutputFile=<file>", "-sOutputFile" "<file>", "-o" "<file>": the file, unless it is a
//   device such as "%stdout%", a "|command" pipe or "-";
// - "-f<file>" and bare arguments: when they exist or look like Windows paths;
// - "--permit-file-read=<paths>" (and -write, -control, -all): each ";"-separated path, joined
//   with ":" (so a path of drive C:, which Wine maps into ".../dosdevices/c:/", cannot be
//   given: gs splits it at its colon);
// - "-s<name>=<value>" whose value looks like a Windows path: the path (a file the job's
//   PostScript opens);
// - everything between "-c" and the next "-f" is PostScript and passes unchanged.
// The rest passes unchanged. Throws what the mapper throws.
std::vector<std::string> TranslateArguments(const std::vector<std::wstring>& args,
                                            const PathMapper& mapper);

}  // namespace vellum::testbed
