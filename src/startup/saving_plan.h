#pragma once

// How a print job is saved, decided once from the settings, the job and where it runs: Save As
// asks, or the PDF is saved without asking into a folder, never replacing a file.

#include <functional>
#include <optional>
#include <string>

#include "convert/convert.h"
#include "settings/settings.h"
#include "startup/print_job.h"
#include "toolkit/session.h"

namespace vellum::startup {

enum class SaveWay {
    Ask,         // Save As asks, opening in `folder` ("" for its own choice), `name` proposed
    IntoFolder,  // saved without asking into `folder` as `name`.pdf or its first free number
};

struct SaveStep {
    SaveWay way = SaveWay::Ask;
    std::string folder;
    std::string name;  // Ask: the proposed file name with ".pdf", or ""; else without ".pdf"
    std::string mode;  // what the job's log calls it: "asked", "automatic" or "no window"
    // IntoFolder: the part of `folder` made for the job's user (the Unsaved folder, an autoDir
    // up to its "<user>" name), whose rights and owner are checked; "" for none.
    std::string userFolder = {};
    bool addPages = false;    // IntoFolder: the pages go at the end of a PDF of that name
    bool vellumsOwn = false;  // `userFolder` lies in Vellum's own machine folders (Unsaved)
};

struct SavingPlan {
    SaveStep first;
    // Taken when `first` finds its folder cannot take the PDF; none when nothing else is left.
    std::optional<SaveStep> fallback;
    // Told before `first`: the folder setting the plan passed over, and why.
    std::string notice;
    // For the job's log alone: the name template's tokens that stand for nothing.
    std::string logNote = {};
};

// What the plan reads of the world besides the settings and the job.
struct JobEnvironment {
    std::function<std::optional<std::string>(const std::string&)> variable;
    std::function<bool(const std::string&)> isFolder;  // an existing folder Save As can open
    toolkit::LocalTime now;                            // names a job without a document name
    std::string programData;  // %ProgramData%\Vellum, whose Unsaved folder takes unseen jobs
};

// Where someone sees the windows and saveMode is not "auto": Save As in defDir. "auto": into
// autoDir (defDir when empty), falling back to Save As. Where no one sees a window: into autoDir,
// falling back to %ProgramData%\Vellum\Unsaved\<user>, or there at once when autoDir is empty. A
// folder setting that is not a full path once expanded is passed over with a notice. Saved
// without asking, the name comes from autoName (NameFromTemplate, REDMON_PRINTER and
// COMPUTERNAME read through `environment`), and autoExisting "append" adds the pages.
SavingPlan PlanSaving(const settings::SettingsRecord& record, const PrintJob& job,
                      const JobEnvironment& environment);

// `text` with each %NAME% replaced by the variable's value (one that is not set stays as
// written, as Windows' own expansion leaves it) and each "<user>" by `user` as a folder name.
std::string ExpandFolderSetting(const std::string& text, const JobEnvironment& environment,
                                const std::string& user);

// The folder `text` names up to the end of the name holding its first "<user>", expanded: the
// folder made for that user; "" when `text` has no "<user>".
std::string UserFolderOf(const std::string& text, const JobEnvironment& environment,
                         const std::string& user);

// %ProgramData%\Vellum\Unsaved\<user> and ...\Failed\<user>: the folders of one user's unseen
// jobs, PDFs and the jobs that could not become one.
std::string UnsavedFolderFor(const std::string& programData, const std::string& user);
std::string FailedFolderFor(const std::string& programData, const std::string& user);

// Why an expanded folder setting cannot be used ("" when it can): a variable left unexpanded,
// or not a full path, which would be taken against whatever folder the process runs in.
std::string UnusableFolderReason(const std::string& folder);

// What the user is told when `failed` cannot use its folder for `problem`, and `next` (when
// any) is taken instead.
convert::Message FallbackMessage(const SaveStep& failed, const std::string& problem,
                                 const std::optional<SaveStep>& next);

}  // namespace vellum::startup
