#include "startup/unattended.h"

#include <optional>

#include "settings/settings.h"
#include "startup/document_name.h"
#include "startup/job_log.h"
#include "startup/unique_name.h"
#include "toolkit/paths.h"
#include "toolkit/runtime_error.h"

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

SavedWithoutAsking SaveWithoutAsking(Services& s, const std::string& folder,
                                     const std::string& documentTitle, const std::string& jobPath) {
    SavedWithoutAsking saved;
    std::string name = PdfNameFor(documentTitle, folder);
    if (name.empty()) name = "Vellum " + toolkit::FormatLocalTime(s.session.Now(), '-');
    std::optional<std::string> path;
    try {
        s.files.MakeFolders(folder);
        path = ReserveUniquePdfPath(s.files, folder, name);
    } catch (const toolkit::RuntimeError& e) {
        saved.facts.errorLine = "The folder " + folder + " cannot be written: " + e.Description();
        s.msgBox.Show("The print job was not converted, because " + saved.facts.errorLine, "Error!",
                      toolkit::Icon::Error);
        return saved;
    }
    if (!path) {
        saved.facts.errorLine = "No free name for " + name + ".pdf in " + folder;
        s.msgBox.Show("The print job was not converted: " + saved.facts.errorLine + ".", "Error!",
                      toolkit::Icon::Error);
        return saved;
    }
    saved.pdfPath = *path;
    saved.written = convert::ConvertToPdf(s.runner, s.files, s.msgBox, s.progress,
                                          settings::Settings, *path, jobPath, &saved.facts);
    if (!saved.written) s.files.RemoveFile(*path);
    return saved;
}

}  // namespace vellum::startup
