#include "convert/convert.h"

#include <cstdio>
#include <optional>
#include <random>

#include "convert/ghostscript_command.h"
#include "convert/ghostscript_paths.h"
#include "toolkit/runtime_error.h"
#include "toolkit/text.h"

namespace vellum::convert {

namespace {

constexpr size_t kPathLimit = 259;  // MAX_PATH less its closing NUL
constexpr int kNameTries = 100;
constexpr std::int32_t kErrFileAlreadyExists = 58;

const char kErrorTitle[] = "Error!";
const char kKeptNote[] = "The existing file was not changed.";
const char kDiskFull[] =
    "The disk is full: there was no room left for the PDF or for Ghostscript's temporary files. "
    "Make room on the disk and print again.";

std::uint32_t RandomNumber() {
    static std::mt19937 generator{std::random_device{}()};
    return static_cast<std::uint32_t>(generator());
}

// A file that is removed when its owner goes, unless it was moved into place.
class ScratchFile {
public:
    ScratchFile(toolkit::FileSystem& files, const std::string& pdfPath) : files_(files) {
        for (int i = 0; i < kNameTries && path_.empty(); ++i) {
            const std::string candidate = TemporaryPathFor(pdfPath, RandomNumber());
            if (files.CreateNewFile(candidate)) path_ = candidate;
        }
        if (path_.empty())
            throw toolkit::VellumError(kErrFileAlreadyExists,
                                       "No free name for a temporary file was found.");
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
    ~ScratchFile() {
        if (!moved_) files_.RemoveFile(path_);
    }
    const std::string& Path() const { return path_; }
    void MoveTo(const std::string& target) {
        files_.MoveReplacing(path_, target);
        moved_ = true;
    }

private:
    toolkit::FileSystem& files_;
    std::string path_;
    bool moved_ = false;
};

class ScratchFolder {
public:
    explicit ScratchFolder(toolkit::FileSystem& files)
        : files_(files), path_(files.CreateTempFolder()) {}
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder() { files_.RemoveFolderTree(path_); }
    const std::string& Path() const { return path_; }

private:
    toolkit::FileSystem& files_;
    std::string path_;
};

// The lines after a message's first one: what happened, then whether an existing PDF is safe.
std::string Details(const std::string& what, bool existed) {
    std::string text;
    if (!what.empty()) text += "\r\n" + what;
    if (existed) text += std::string("\r\n") + kKeptNote;
    return text;
}

std::string RunFailure(const ProcessResult& result, bool existed) {
    std::string text = "Ghostscript could not convert the print job (exit code " +
                       ExitCodeText(result.exitCode) + ").";
    if (SaysDiskFull(result.output)) return text + Details(kDiskFull, existed);
    std::string what;
    if (result.exitCode >= 0xC0000000u) {
        what = "Ghostscript ended abnormally";
        const std::string wording = ReadableStatusWording(result.exitCodeWording);
        what += wording.empty() ? "." : ": " + wording;
    }
    text += Details(what, existed);
    const std::string tail = OutputTail(result.output);
    if (!tail.empty()) text += "\r\n\r\n" + tail;
    return text;
}

}  // namespace

std::string TemporaryPathFor(const std::string& pdfPath, std::uint32_t unique) {
    const size_t slash = pdfPath.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? "" : pdfPath.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? pdfPath : pdfPath.substr(slash + 1);
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%08x.vellum-tmp", static_cast<unsigned>(unique));
    const auto length = [&] {
        return static_cast<size_t>(toolkit::Utf16Length(folder + name + suffix));
    };
    while (length() > kPathLimit && name.size() > 1) {
        // One whole character: its continuation bytes, then its first byte.
        unsigned char last = 0;
        do {
            last = static_cast<unsigned char>(name.back());
            name.pop_back();
        } while (!name.empty() && (last & 0xC0) == 0x80);
    }
    return folder + name + suffix;
}

bool ConvertToPdf(ProcessRunner& runner, toolkit::FileSystem& files, toolkit::MsgBox& msgBox,
                  ProgressWindow& progress, const settings::SettingsRecord& settings,
                  const std::string& pdfPath, const std::string& psPath) {
    const bool existed = files.FileSize(pdfPath).has_value();
    const auto fail = [&](const std::string& text, toolkit::Icon icon = toolkit::Icon::Error,
                          const char* title = kErrorTitle) {
        msgBox.Show(text, title, icon);
        return false;
    };
    const std::string notSaved = "The PDF could not be saved as " + pdfPath + ".";

    std::optional<ScratchFolder> gsTemp;
    try {
        gsTemp.emplace(files);
    } catch (const toolkit::RuntimeError& e) {
        return fail("Ghostscript could not be started.\r\n" + settings.gsExe +
                    Details("Its temporary folder could not be made: " + e.Description(), existed));
    }
    // Ghostscript is never handed a path it cannot open: the job and its temporary folder
    // under another spelling, its output through a handle.
    const std::string gsTempPath = GhostscriptSpelling(files, gsTemp->Path());
    if (gsTempPath.empty()) {
        return fail(
            "Ghostscript could not be started.\r\n" + settings.gsExe +
            Details("Its temporary folder could not be made: " + CannotOpenWording(gsTemp->Path()),
                    existed));
    }
    const std::string jobPath = GhostscriptSpelling(files, psPath);
    if (jobPath.empty())
        return fail("The print job was not converted.\r\n" + CannotOpenWording(psPath) +
                    Details("", existed));
    std::optional<ScratchFile> output;
    try {
        output.emplace(files, pdfPath);
    } catch (const toolkit::RuntimeError& e) {
        return fail(notSaved + Details(e.Description(), existed));
    }

    ProcessResult result;
    {
        const GhostscriptOutput target(files, output->Path());
        if (target.OutputFile().empty())
            return fail(
                notSaved +
                Details("Its temporary file could not be opened for Ghostscript: " + output->Path(),
                        existed));
        ConversionProgress watch(progress, pdfPath);
        RunOptions options{{{"TEMP", gsTempPath}, {"TMP", gsTempPath}}, &watch};
        result = runner.RunAndWait(GhostscriptCommandLine(settings, target.OutputFile(), jobPath),
                                   kSwHide, options);
    }
    if (!result.started) {
        return fail("Ghostscript could not be started.\r\n" + settings.gsExe +
                    Details(result.startError, existed));
    }
    if (result.cancelled) {
        return fail("The PDF was not made: the conversion was cancelled." + Details("", existed),
                    toolkit::Icon::Information, "Cancelled");
    }
    if (result.exitCode != 0 || files.FileSize(output->Path()).value_or(0) == 0)
        return fail(RunFailure(result, existed));
    try {
        output->MoveTo(pdfPath);
    } catch (const toolkit::RuntimeError& e) {
        return fail(notSaved + Details(e.Description(), existed));
    }
    return true;
}

}  // namespace vellum::convert
