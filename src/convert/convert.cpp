#include "convert/convert.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <random>

#include "convert/existing_pdf.h"
#include "convert/ghostscript_command.h"
#include "convert/ghostscript_paths.h"
#include "convert/leftovers.h"
#include "convert/pdf_check.h"
#include "convert/trusted_folder.h"
#include "convert/unique_name.h"
#include "toolkit/paths.h"
#include "toolkit/runtime_error.h"
#include "toolkit/text.h"

namespace vellum::convert {

namespace {

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

// Why the PDF was not made: thrown by a step of the conversion, turned into its result once.
struct NotMade {
    Outcome outcome = Outcome::Failed;
    std::string text;  // the message; its first line is the log's, unless `logLine` is set
    const char* title = kErrorTitle;
    toolkit::Icon icon = toolkit::Icon::Error;
    std::string logLine = {};
};

// The lines after a message's first one: what happened, then whether an existing PDF is safe.
std::string Details(const std::string& what, bool existed) {
    std::string text;
    if (!what.empty()) text += "\r\n" + what;
    if (existed) text += std::string("\r\n") + kKeptNote;
    return text;
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

// The folder made, checked and held to the end; one that cannot take the PDF is unusable.
TrustedFolder MakeFolderFor(toolkit::FileSystem& files, const PdfTarget& target,
                            std::string& note) {
    TrustedFolder folder = MakeTrustedFolder(files, toolkit::FolderOf(target.path),
                                             target.userFolder, target.user, target.vellumsOwn);
    note = folder.note;
    if (!folder.problem.empty())
        throw NotMade{Outcome::FolderUnusable, "", kErrorTitle, toolkit::Icon::Error,
                      folder.problem};
    return folder;
}

// A file beside the PDF that Ghostscript writes, removed when its owner goes unless it was
// moved into place. Saved without asking, a folder that cannot take it cannot take the PDF.
class ScratchFile {
public:
    ScratchFile(toolkit::FileSystem& files, const PdfTarget& target, bool existed) : files_(files) {
        try {
            for (int i = 0; i < kNameTries && path_.empty(); ++i) {
                const std::string candidate = TemporaryPathFor(target.path, RandomNumber());
                if (files.CreateNewFile(candidate)) path_ = candidate;
            }
            if (path_.empty())
                throw toolkit::VellumError(kErrFileAlreadyExists,
                                           "No free name for a temporary file was found.");
        } catch (const toolkit::RuntimeError& e) {
            if (target.neverReplace)
                throw NotMade{Outcome::FolderUnusable, "", kErrorTitle, toolkit::Icon::Error,
                              e.Description()};
            throw NotMade{Outcome::Failed, "The PDF could not be saved as " + target.path + "." +
                                               Details(e.Description(), existed)};
        }
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
        Moved();
    }
    // Under `pdfPath` or its first free numbered name; "" when none was free.
    std::string MoveToFreeName(const std::string& pdfPath) {
        const std::optional<std::string> taken = ReserveUniquePdfPath(files_, path_, pdfPath);
        if (taken) Moved();
        return taken.value_or("");
    }

private:
    // The hold now names the PDF itself: let go at once, or another job replacing the same PDF
    // finds it open and is told to close it.
    void Moved() {
        moved_ = true;
        hold_.reset();
    }

    toolkit::FileSystem& files_;
    std::string path_;
    std::unique_ptr<toolkit::HeldFile> hold_;  // released after the removal in the destructor
    bool moved_ = false;
};

// Ghostscript's own temporary folder, removed with what it left there.
class ScratchFolder {
public:
    ScratchFolder(toolkit::FileSystem& files, const std::string& gsExe, bool existed)
        : files_(files) {
        try {
            path_ = files.CreateTempFolder();
        } catch (const toolkit::RuntimeError& e) {
            throw NotMade{
                Outcome::Failed,
                "Ghostscript could not be started.\r\n" + gsExe +
                    Details(TempFolderFailure(files.TempRoot(), e.Description()), existed)};
        }
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder() { files_.RemoveFolderTree(path_); }
    const std::string& Path() const { return path_; }

private:
    toolkit::FileSystem& files_;
    std::string path_;
};

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
    const std::string folder = toolkit::FolderOf(pdfPath);
    if (!size && !folder.empty() && !files.FolderExists(folder))
        return "Its folder " + folder + " was renamed or removed while the PDF was made.";
    if (size.value_or(0) == 0) return kNothingWritten + Details("", existed);
    if (IsWholePdf(files, output)) return "";
    const std::optional<std::uint64_t> room = files.FreeSpace(folder);
    const bool full = room && *room < std::max(*size, kRoomForAnyPdf);
    return kIncomplete + Details(full ? kDiskFull : "", existed);
}

ProcessResult RunGhostscript(ConvertServices& s, const settings::SettingsRecord& settings,
                             const ScratchFile& output, const ScratchFolder& gsTemp,
                             const std::string& psPath, const std::string& profile,
                             const std::string& pdfPath, bool existed, int timeLimitSeconds,
                             const std::string& pagesBefore, const DocumentInfo& info) {
    // Ghostscript is never handed a path it cannot open: the job and its temporary folder
    // under another spelling, its output through a handle.
    const std::string gsTempPath = GhostscriptSpelling(s.files, gsTemp.Path());
    if (gsTempPath.empty())
        throw NotMade{Outcome::Failed, "Ghostscript could not be started.\r\n" + settings.gsExe +
                                           Details("Its temporary folder could not be made: " +
                                                       CannotOpenWording(gsTemp.Path()),
                                                   existed)};
    const std::string jobPath = GhostscriptSpelling(s.files, psPath);
    if (jobPath.empty())
        throw NotMade{Outcome::Failed, "The print job was not converted.\r\n" +
                                           CannotOpenWording(psPath) + Details("", existed)};
    const GhostscriptOutput target(s.files, output.Path());
    if (target.OutputFile().empty())
        throw NotMade{
            Outcome::Failed,
            "The PDF could not be saved as " + pdfPath + "." +
                Details("Its temporary file could not be opened for Ghostscript: " + output.Path(),
                        existed)};
    ConversionProgress watch(s.progress, pdfPath, std::chrono::seconds(timeLimitSeconds));
    RunOptions options{{{"TEMP", gsTempPath}, {"TMP", gsTempPath}}, &watch};
    ProcessResult run = s.runner.RunAndWait(
        GhostscriptCommandLine(settings, target.OutputFile(), jobPath, profile, pagesBefore, info),
        kSwHide, options);
    if (run.cancelled && watch.TimedOut()) {
        const std::string limit = std::to_string(timeLimitSeconds) + " seconds";
        throw NotMade{Outcome::Failed,
                      "The PDF " + pdfPath + " was not made: Ghostscript had not finished after " +
                          limit + " (the gsTimeout setting) and was ended; nothing of it was left.",
                      kErrorTitle, toolkit::Icon::Error,
                      "Ghostscript was ended after " + limit + " (gsTimeout)"};
    }
    return run;
}

// Ghostscript's run judged: one that did not start, was cancelled or failed stops the
// conversion; one that ran to its end leaves its exit code in `result`.
void CheckRun(const ProcessResult& run, ConversionResult& result, bool existed,
              const PdfTarget& target, const std::string& gsExe) {
    const std::string& pdfPath = target.path;
    if (!run.started)
        throw NotMade{Outcome::Failed, "Ghostscript could not be started.\r\n" + gsExe +
                                           Details(run.startError, existed)};
    if (run.cancelled)
        throw NotMade{Outcome::Cancelled,
                      "The PDF was not made: the conversion was cancelled." + Details("", existed),
                      "Cancelled", toolkit::Icon::Information};
    result.exitCode = run.exitCode;
    // Saved without asking, a full disk is the folder's fault: its fallback may have room.
    if (run.exitCode != 0 && target.neverReplace && SaysDiskFull(run.output))
        throw NotMade{Outcome::FolderUnusable, "", kErrorTitle, toolkit::Icon::Error, kDiskFull};
    if (run.exitCode != 0)
        throw NotMade{Outcome::Failed, RunFailure(run, existed, pdfPath), kErrorTitle,
                      toolkit::Icon::Error, GhostscriptErrorLine(run.output)};
}

// Moves the finished PDF into place; where it is held open elsewhere, asks for Retry or, where
// no one can be asked, saves it beside. The path it took.
std::string Place(ConvertServices& s, ScratchFile& output, const PdfTarget& target, bool existed) {
    const auto freeName = [&] {
        const std::string path = output.MoveToFreeName(target.path);
        if (path.empty())
            throw NotMade{Outcome::Failed, "The PDF could not be saved as " + target.path +
                                               ".\r\nEvery name for it there is taken."};
        return path;
    };
    if (target.neverReplace) return freeName();
    for (;;) {
        try {
            output.MoveTo(target.path);
            return target.path;
        } catch (const toolkit::RuntimeError& e) {
            if (!HeldElsewhere(e, s.files, target.path))
                throw NotMade{Outcome::Failed, "The PDF could not be saved as " + target.path +
                                                   "." + Details(e.Description(), existed)};
        }
        const toolkit::Answer answer = s.msgBox.Ask(
            target.path + "\r\nis open in another program. Close it there, then choose Retry.",
            kInUseTitle, toolkit::Icon::Warning, toolkit::Buttons::RetryCancel);
        if (answer == toolkit::Answer::NoWindow) return freeName();
        if (answer == toolkit::Answer::Cancel)
            throw NotMade{Outcome::Failed, "", kErrorTitle, toolkit::Icon::Error,
                          "The PDF " + target.path + " was open in another program."};
    }
}

// Pages to be added: this job's turn at the PDF, and the existing PDF whose pages come first.
struct Adding {
    std::unique_ptr<toolkit::HeldFile> turn;
    std::string pagesBefore;  // as Ghostscript reads it; "" when there is no PDF yet
    std::string note;         // saved without asking beside a file that cannot take pages: why
};

// Takes the PDF's turn and looks at what is there. A PDF that can take pages is replaced by
// the whole result (`placing` then replaces, and `existed` is set); a file that cannot is
// kept: asked, the conversion stops; saved without asking, the PDF takes a free name beside it.
Adding AddPagesTo(toolkit::FileSystem& files, PdfTarget& placing, bool& existed) {
    Adding adding;
    try {
        adding.turn = TakeAddingTurn(files, placing.path);
    } catch (const toolkit::RuntimeError& e) {
        if (placing.neverReplace)
            throw NotMade{Outcome::FolderUnusable, "", kErrorTitle, toolkit::Icon::Error,
                          e.Description()};
        throw NotMade{Outcome::Failed, CannotAddPagesText(placing.path, e.Description())};
    }
    if (files.FileSize(placing.path).value_or(0) == 0) return adding;
    const std::string why = WhyPagesCannotBeAdded(files, placing.path);
    if (!why.empty()) {
        if (!placing.neverReplace)
            throw NotMade{Outcome::Failed, CannotAddPagesText(placing.path, why)};
        adding.note = CannotAddPagesText(placing.path, why);
        return adding;
    }
    adding.pagesBefore = GhostscriptSpelling(files, placing.path);
    existed = true;
    if (adding.pagesBefore.empty())
        throw NotMade{Outcome::Failed,
                      CannotAddPagesText(placing.path, CannotOpenWording(placing.path))};
    placing.neverReplace = false;
    return adding;
}

// What the user is told about a PDF that was written: where it went when that is not where it
// was asked for, or that it is no PDF/A for want of the profile; nothing otherwise.
std::optional<Message> WrittenNote(const settings::SettingsRecord& settings,
                                   const PdfTarget& target, const std::string& written,
                                   const std::string& addingNote, const std::string& profile) {
    if (!addingNote.empty())
        return Message{addingNote + "\r\nThe new PDF was saved as " + written + ".", "Vellum",
                       toolkit::Icon::Warning};
    if (written != target.path && !target.neverReplace)
        return Message{"The PDF " + target.path +
                           " is open in another program, so the new one was saved as " + written +
                           ".",
                       kInUseTitle, toolkit::Icon::Information};
    if (settings.pdfA == settings::kPdfA2 && profile.empty())
        return Message{MissingProfileNote(written, settings.gsLib), "PDF/A",
                       toolkit::Icon::Warning};
    return std::nullopt;
}

}  // namespace

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
    const std::string name = slash == std::string::npos ? pdfPath : pdfPath.substr(slash + 1);
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%08x.vellum-tmp", static_cast<unsigned>(unique));
    const int room = kPathLimit - toolkit::Utf16Length(folder + suffix);
    return folder + toolkit::CutToUtf16(name, std::max(room, 1)) + suffix;
}

ConversionResult ConvertToPdf(ConvertServices& s, const settings::SettingsRecord& settings,
                              const PdfTarget& asked, const std::string& psPath,
                              const DocumentInfo& info) {
    ConversionResult result;
    result.pdfPath = asked.path;
    PdfTarget target = asked;
    // An empty file is no PDF to speak of keeping.
    bool existed = !target.neverReplace && s.files.FileSize(target.path).value_or(0) > 0;
    try {
        TrustedFolder folder;  // held to the end of the conversion
        if (target.neverReplace) folder = MakeFolderFor(s.files, target, result.note);
        const Adding adding = target.addPages ? AddPagesTo(s.files, target, existed) : Adding{};
        RemoveLeftovers(s.files, toolkit::FolderOf(target.path));
        const ScratchFolder gsTemp(s.files, settings.gsExe, existed);
        ScratchFile output(s.files, target, existed);
        std::string profile;
        if (settings.pdfA == settings::kPdfA2)
            profile = FindSrgbProfile(s.files, settings.gsLib).value_or("");
        CheckRun(RunGhostscript(s, settings, output, gsTemp, psPath, profile, target.path, existed,
                                target.timeLimitSeconds, adding.pagesBefore, info),
                 result, existed, target, settings.gsExe);
        if (const std::string why = WhyUnusable(s.files, output.Path(), target.path, existed);
            !why.empty()) {
            if (target.neverReplace && why.find(kDiskFull) != std::string::npos)
                throw NotMade{Outcome::FolderUnusable, "", kErrorTitle, toolkit::Icon::Error,
                              kDiskFull};
            throw NotMade{Outcome::Failed, "The PDF " + target.path + " was not made.\r\n" + why,
                          kErrorTitle, toolkit::Icon::Error, why.substr(0, why.find('\r'))};
        }
        result.pdfPath = Place(s, output, target, existed);
        result.outcome = Outcome::Written;
        result.message = WrittenNote(settings, target, result.pdfPath, adding.note, profile);
    } catch (const NotMade& stop) {
        result.outcome = stop.outcome;
        result.logLine =
            stop.logLine.empty() ? stop.text.substr(0, stop.text.find('\r')) : stop.logLine;
        if (!stop.text.empty()) result.message = Message{stop.text, stop.title, stop.icon};
    }
    return result;
}

void Tell(toolkit::MsgBox& msgBox, const ConversionResult& result) {
    if (result.message)
        msgBox.Show(result.message->text, result.message->title, result.message->icon);
}

}  // namespace vellum::convert
