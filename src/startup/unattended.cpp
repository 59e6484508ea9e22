#include "startup/unattended.h"

#include <optional>

#include "settings/settings.h"
#include "startup/document_name.h"
#include "startup/job_log.h"
#include "startup/unique_name.h"
#include "toolkit/paths.h"
#include "toolkit/runtime_error.h"
#include "toolkit/text.h"

namespace vellum::startup {

namespace {

// A user name as one folder name: what Windows forbids in a name becomes "_".
std::string AsFolderName(const std::string& user) {
    std::string name;
    for (char c : user) name += std::string("\\/:*?\"<>|").find(c) == std::string::npos ? c : '_';
    return name.empty() ? "_" : name;
}

}  // namespace

std::string ExpandFolderSetting(const std::string& text, toolkit::ProcessEnvironment& environment,
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
            const auto value = environment.Variable(text.substr(i + 1, end - i - 1));
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

std::string UnattendedFolder(const std::string& autoDir, toolkit::ProcessEnvironment& environment,
                             const std::string& user) {
    const std::string folder = ExpandFolderSetting(autoDir, environment, user);
    if (folder.find_first_not_of(' ') != std::string::npos) return folder;
    return toolkit::JoinPath(toolkit::JoinPath(ProgramDataFolder(environment), "Unsaved"),
                             AsFolderName(user));
}

WithoutAskingResult SaveWithoutAsking(Services& s, const std::string& folder,
                                      const std::string& documentTitle,
                                      const std::string& jobPath) {
    WithoutAskingResult out;
    std::optional<std::string> path;
    try {
        if (toolkit::TrimSpaces(folder).empty())
            throw toolkit::VellumError(76, "No folder is set for it.");
        s.files.MakeFolders(folder);
        std::string name = PdfNameFor(documentTitle, folder);
        if (name.empty()) name = "Vellum " + toolkit::FormatLocalTime(s.session.Now(), '-');
        path = ReserveUniquePdfPath(s.files, folder, name);
        if (!path) throw toolkit::VellumError(58, "Every name for the PDF there is taken.");
    } catch (const toolkit::RuntimeError& e) {
        out.result = SavedWithoutAsking::FolderUnusable;
        out.problem = e.Description();
        return out;
    }
    out.path = *path;
    const bool written = convert::ConvertToPdf(s.runner, s.files, s.msgBox, s.progress,
                                               settings::Settings, out.path, jobPath, &out.facts);
    // The reserved name is given back when no PDF took its place.
    if (!written) s.files.RemoveFile(out.path);
    out.result = written ? SavedWithoutAsking::Written : SavedWithoutAsking::NotConverted;
    return out;
}

std::string FallbackToSaveAsText(const std::string& folder, const std::string& problem) {
    return "The PDF could not be saved automatically in the folder\r\n" + folder + "\r\n" +
           problem + "\r\n\r\nChoose where to save it instead.";
}

std::string FallbackText(const std::string& folder, const std::string& problem,
                         const std::string& fallback) {
    return "The PDF could not be saved automatically in the folder\r\n" + folder + "\r\n" +
           problem + "\r\n\r\nIt is saved in " + fallback + " instead.";
}

}  // namespace vellum::startup
