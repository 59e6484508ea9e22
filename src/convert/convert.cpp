#include "convert/convert.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <random>

#include "convert/ghostscript_command.h"
#include "convert/ghostscript_paths.h"
#include "convert/leftovers.h"
#include "convert/pdf_check.h"
#include "toolkit/runtime_error.h"
#include "toolkit/text.h"

namespace vellum::convert {

namespace {

constexpr size_t kPathLimit = 259;  // MAX_PATH less its closing NUL
constexpr int kNameTries = 100;
constexpr std::int32_t kErrFileAlreadyExists = 58;
constexpr std::int32_t kErrAccessDenied = 5;
constexpr std::int32_t kErrSharingViolation = 32;
// Below this much room a PDF that was cut short is taken for one that met a full disk.
constexpr std::uint64_t kRoomForAnyPdf = 64 * 1024;

const char kErrorTitle[] = "Error!";
const char kKeptNote[] = "The existing file was not changed.";
const char kDiskFull[] =
    "The disk is full: there was no room left for the PDF or for Ghostscript's temporary files. "
    "Make room on the disk and print again.";
const char kNothingWritten[] = "Ghostscript finished without writing the PDF.";
const char kIncomplete[] = "The PDF Ghostscript wrote is incomplete.";
const char kInUseTitle[] = "PDF in use";

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
        // Held to the end, so that on Windows its folder cannot be renamed or removed under it
        // and the file is always found again to be moved or removed.
        hold_ = files.Hold(path_);
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
        // The hold now names the PDF itself: let go at once, or another job replacing the same
        // PDF finds it open and is told to close it.
        hold_.reset();
    }

private:
    toolkit::FileSystem& files_;
    std::string path_;
    std::unique_ptr<toolkit::HeldFile> hold_;  // released after the removal in the destructor
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

// In a person's words first: which PDF was not made and Ghostscript's own error line; then the
// exit code and Ghostscript's last words.
std::string RunFailure(const ProcessResult& result, bool existed, const std::string& pdfPath) {
    const bool diskFull = SaysDiskFull(result.output);
    const std::string errorLine = diskFull ? kDiskFull : GhostscriptErrorLine(result.output);
    std::string text = "The PDF " + pdfPath + " was not made.\r\n" +
                       (errorLine.empty() ? "" : errorLine + "\r\n") +
                       "Ghostscript could not convert the print job (exit code " +
                       ExitCodeText(result.exitCode) + ").";
    if (diskFull) return text + Details("", existed);
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

// Where no one can be asked to close the PDF, this one is kept under a free name beside it.
bool SaveBeside(ScratchFile& output, toolkit::FileSystem& files, toolkit::MsgBox& msgBox,
                const std::string& pdfPath) {
    const std::string other = UniqueNameFor(files, pdfPath);
    try {
        output.MoveTo(other);
    } catch (const toolkit::RuntimeError& e) {
        msgBox.Show("The PDF could not be saved as " + other + ".\r\n" + e.Description(),
                    kErrorTitle, toolkit::Icon::Error);
        return false;
    }
    msgBox.Show("The PDF " + pdfPath + " is open in another program, so the new one was saved as " +
                    other + ".",
                kInUseTitle, toolkit::Icon::Information);
    return true;
}

// A temporary folder that could not be made names where it was to be and what to do.
std::string TempFolderFailure(const std::string& root, const std::string& why) {
    if (root.empty())
        return "Its temporary folder could not be made: " + why +
               "\r\nSet the TEMP variable to a folder that exists and that you can write to.";
    return "Its temporary folder could not be made in " + root + ": " + why + "\r\nMake sure " +
           root +
           " exists and that you can write to it, or set the TEMP variable to a folder that "
           "does.";
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? "" : path.substr(0, slash);
}

// Whether a failed move over `pdfPath` met a program that has it open: a sharing violation, or
// access denied on a file that is there in a folder this run could just write to.
bool HeldElsewhere(const toolkit::RuntimeError& e, toolkit::FileSystem& files,
                   const std::string& pdfPath) {
    return e.Number() == kErrSharingViolation ||
           (e.Number() == kErrAccessDenied && files.FileSize(pdfPath).has_value());
}

// Why Ghostscript's exit code 0 came with no PDF worth keeping; empty when the file is whole.
std::string WhyUnusable(toolkit::FileSystem& files, const std::string& output,
                        const std::string& pdfPath, bool existed) {
    const std::optional<std::uint64_t> size = files.FileSize(output);
    const std::string folder = FolderOf(pdfPath);
    if (!size && !folder.empty() && !files.FolderExists(folder))
        return "Its folder " + folder + " was renamed or removed while the PDF was made.";
    if (size.value_or(0) == 0) return kNothingWritten + Details("", existed);
    if (IsWholePdf(files, output)) return "";
    const std::optional<std::uint64_t> room = files.FreeSpace(folder);
    const bool full = room && *room < std::max(*size, kRoomForAnyPdf);
    return kIncomplete + Details(full ? kDiskFull : "", existed);
}

}  // namespace

std::string UniqueNameFor(toolkit::FileSystem& files, const std::string& pdfPath) {
    const size_t slash = pdfPath.find_last_of("\\/");
    size_t dot = pdfPath.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        dot = pdfPath.size();
    for (int n = 2;; ++n) {
        const std::string candidate =
            pdfPath.substr(0, dot) + " (" + std::to_string(n) + ")" + pdfPath.substr(dot);
        if (!files.FileSize(candidate) && !files.FolderExists(candidate)) return candidate;
    }
}

std::string MissingProfileNote(const std::string& pdfPath, const std::string& gsLib) {
    return "The PDF " + pdfPath +
           " was made, but not as PDF/A-2b for archiving: the sRGB colour profile that comes "
           "with Ghostscript (iccprofiles\\srgb.icc beside its lib folder " +
           gsLib +
           ") was not found.\r\nReinstall Ghostscript, or correct its lib folder in Configure "
           "Vellum.";
}

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
                  const std::string& pdfPath, const std::string& psPath, ConvertFacts* facts) {
    ConvertFacts unused;
    ConvertFacts& told = facts != nullptr ? *facts : unused;
    // An empty file is a name reserved for this PDF, not one to speak of keeping.
    const bool existed = files.FileSize(pdfPath).value_or(0) > 0;
    const auto fail = [&](const std::string& text, toolkit::Icon icon = toolkit::Icon::Error,
                          const char* title = kErrorTitle) {
        if (told.errorLine.empty()) told.errorLine = text.substr(0, text.find('\r'));
        msgBox.Show(text, title, icon);
        return false;
    };
    const std::string notSaved = "The PDF could not be saved as " + pdfPath + ".";
    RemoveLeftovers(files, FolderOf(pdfPath));

    std::optional<ScratchFolder> gsTemp;
    try {
        gsTemp.emplace(files);
    } catch (const toolkit::RuntimeError& e) {
        return fail("Ghostscript could not be started.\r\n" + settings.gsExe +
                    Details(TempFolderFailure(files.TempRoot(), e.Description()), existed));
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

    std::string pdfaProfile;
    if (settings.pdfA == settings::kPdfA2)
        pdfaProfile = FindSrgbProfile(files, settings.gsLib).value_or("");

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
        result = runner.RunAndWait(
            GhostscriptCommandLine(settings, target.OutputFile(), jobPath, pdfaProfile), kSwHide,
            options);
    }
    told.cancelled = result.cancelled;
    if (result.started && !result.cancelled) {
        told.exitCode = result.exitCode;
        told.errorLine = result.exitCode != 0 ? GhostscriptErrorLine(result.output) : "";
    }
    if (!result.started) {
        return fail("Ghostscript could not be started.\r\n" + settings.gsExe +
                    Details(result.startError, existed));
    }
    if (result.cancelled) {
        return fail("The PDF was not made: the conversion was cancelled." + Details("", existed),
                    toolkit::Icon::Information, "Cancelled");
    }
    if (result.exitCode != 0) return fail(RunFailure(result, existed, pdfPath));
    const std::string unusable = WhyUnusable(files, output->Path(), pdfPath, existed);
    if (!unusable.empty()) {
        told.errorLine = unusable.substr(0, unusable.find('\r'));
        return fail("The PDF " + pdfPath + " was not made.\r\n" + unusable);
    }
    // The PDF is made all the same where PDF/A was asked for without the profile it needs.
    const auto written = [&] {
        if (settings.pdfA == settings::kPdfA2 && pdfaProfile.empty())
            msgBox.Show(MissingProfileNote(pdfPath, settings.gsLib), "PDF/A",
                        toolkit::Icon::Warning);
        return true;
    };
    for (;;) {
        try {
            output->MoveTo(pdfPath);
            return written();
        } catch (const toolkit::RuntimeError& e) {
            if (!HeldElsewhere(e, files, pdfPath))
                return fail(notSaved + Details(e.Description(), existed));
        }
        const toolkit::Answer answer = msgBox.Ask(
            pdfPath + "\r\nis open in another program. Close it there, then choose Retry.",
            kInUseTitle, toolkit::Icon::Warning, toolkit::Buttons::RetryCancel);
        if (answer == toolkit::Answer::Cancel) {
            told.errorLine = "The PDF " + pdfPath + " was open in another program.";
            return false;
        }
        if (answer == toolkit::Answer::NoWindow)
            return SaveBeside(*output, files, msgBox, pdfPath) && written();
    }
}

}  // namespace vellum::convert
