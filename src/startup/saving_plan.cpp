#include "startup/saving_plan.h"

#include "startup/document_name.h"
#include "startup/name_template.h"
#include "toolkit/paths.h"
#include "toolkit/text.h"

namespace vellum::startup {

namespace {

// A user name as one folder name: what Windows forbids in a name becomes "_", and a device
// name gets the "_" document names get.
std::string AsFolderName(const std::string& user) {
    std::string name;
    for (char c : user) name += std::string("\\/:*?\"<>|").find(c) == std::string::npos ? c : '_';
    return name.empty() ? "_" : NotADeviceName(name);
}

}  // namespace

std::string ExpandFolderSetting(const std::string& text, const JobEnvironment& environment,
                                const std::string& user) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        if (text.compare(i, 6, "<user>") == 0) {
            out += AsFolderName(user);
            i += 6;
            continue;
        }
        const size_t end = text[i] == '%' ? text.find('%', i + 1) : std::string::npos;
        if (end != std::string::npos && end > i + 1) {
            const auto value = environment.variable(text.substr(i + 1, end - i - 1));
            if (value) {
                out += *value;
                i = end + 1;
                continue;
            }
        }
        out += text[i++];
    }
    return out;
}

std::string UserFolderOf(const std::string& text, const JobEnvironment& environment,
                         const std::string& user) {
    const size_t at = text.find("<user>");
    if (at == std::string::npos) return "";
    return ExpandFolderSetting(text.substr(0, text.find_first_of("\\/", at)), environment, user);
}

std::string UnsavedFolderFor(const std::string& programData, const std::string& user) {
    return toolkit::JoinPath(toolkit::JoinPath(programData, "Unsaved"), AsFolderName(user));
}

std::string FailedFolderFor(const std::string& programData, const std::string& user) {
    return toolkit::JoinPath(toolkit::JoinPath(programData, "Failed"), AsFolderName(user));
}

std::string UnusableFolderReason(const std::string& folder) {
    if (toolkit::TrimSpaces(folder).empty()) return "No folder is set for it.";
    const size_t open = folder.find('%');
    const size_t close = open == std::string::npos ? open : folder.find('%', open + 1);
    if (close != std::string::npos && close > open + 1)
        return "It names a variable that is not set: " + folder.substr(open, close - open + 1) +
               ".";
    if (!toolkit::IsFullPath(folder))
        return "It is not a full path, such as C:\\PDF or \\\\server\\share\\PDF.";
    return "";
}

SavingPlan PlanSaving(const settings::SettingsRecord& record, const PrintJob& job,
                      const JobEnvironment& environment) {
    SavingPlan plan;
    const std::string pattern =
        toolkit::TrimSpaces(record.autoName).empty() ? settings::kDefaultAutoName : record.autoName;
    const NameFacts facts{job.title, job.user, environment.variable("REDMON_PRINTER").value_or(""),
                          environment.variable("COMPUTERNAME").value_or(""), environment.now};
    const auto into = [&](const std::string& folder, const char* mode,
                          const std::string& userFolder) {
        const TemplateName made = NameFromTemplate(pattern, facts, folder);
        if (plan.logNote.empty() && !made.unknown.empty()) {
            plan.logNote = "autoName: tokens kept as written:";
            for (const std::string& token : made.unknown) plan.logNote += " " + token;
        }
        return SaveStep{SaveWay::IntoFolder, folder,
                        made.name,           mode,
                        userFolder,          record.autoExisting == settings::kAppendExisting};
    };
    const auto ask = [&] {
        const std::string folder = environment.isFolder(record.defDir) ? record.defDir : "";
        const std::string name = PdfNameFor(job.title, folder);
        return SaveStep{SaveWay::Ask, folder, name.empty() ? name : name + ".pdf", "asked"};
    };
    if (job.canShowWindows && record.saveMode != settings::kAutoMode) {
        plan.first = ask();
        return plan;
    }
    const bool noAutoDir = toolkit::TrimSpaces(record.autoDir).empty();
    const std::string& setting = job.canShowWindows && noAutoDir ? record.defDir : record.autoDir;
    const std::string folder = ExpandFolderSetting(setting, environment, job.user);
    const std::string unusable = UnusableFolderReason(folder);
    // Automatic saving falls back on Save As, the unseen job on a folder of its own.
    const SaveStep wanted = into(folder, job.canShowWindows ? "automatic" : "no window",
                                 UserFolderOf(setting, environment, job.user));
    const std::string unsaved = UnsavedFolderFor(environment.programData, job.user);
    SaveStep fallback = job.canShowWindows ? ask() : into(unsaved, "no window", unsaved);
    fallback.vellumsOwn = !job.canShowWindows;
    if (!job.canShowWindows && noAutoDir) {
        plan.first = fallback;
    } else if (!unusable.empty()) {
        plan.notice = FallbackMessage(wanted, unusable, fallback).text;
        plan.first = fallback;
    } else {
        plan.first = wanted;
        if (fallback.way == SaveWay::Ask || wanted.folder != fallback.folder)
            plan.fallback = fallback;
    }
    return plan;
}

convert::Message FallbackMessage(const SaveStep& failed, const std::string& problem,
                                 const std::optional<SaveStep>& next) {
    if (!next)
        return {"The print job was not converted, because the folder " + failed.folder +
                    " cannot take the PDF: " + problem,
                "Error!", toolkit::Icon::Error};
    const std::string text = "The PDF could not be saved automatically in the folder\r\n" +
                             failed.folder + "\r\n" + problem + "\r\n\r\n";
    if (next->way == SaveWay::Ask)
        return {text + "Choose where to save it instead.", "Vellum", toolkit::Icon::Warning};
    return {text + "It is saved in " + next->folder + " instead.", "Vellum",
            toolkit::Icon::Warning};
}

}  // namespace vellum::startup
