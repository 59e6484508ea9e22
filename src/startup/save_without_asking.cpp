#include "startup/save_without_asking.h"

#include <ctime>
#include <optional>

#include "convert/convert.h"
#include "settings/settings.h"
#include "startup/document_name.h"
#include "startup/unique_name.h"
#include "toolkit/runtime_error.h"

namespace vellum::startup {

WithoutAskingResult SaveWithoutAsking(Services& s, const std::string& folder,
                                      const std::string& document, const std::string& jobPath,
                                      const std::string& timestamp) {
    WithoutAskingResult out;
    std::optional<std::string> path;
    try {
        if (folder.empty()) throw toolkit::VellumError(76, "No folder is set for it.");
        s.files.CreateFolders(folder);
        std::string name = PdfNameFor(document, folder);
        if (name.empty()) name = "Vellum " + timestamp;
        path = ReserveUniquePdfPath(s.files, folder, name);
        if (!path) throw toolkit::VellumError(58, "Every name for the PDF there is taken.");
    } catch (const toolkit::RuntimeError& e) {
        out.result = SavedWithoutAsking::FolderUnusable;
        out.problem = e.Description();
        return out;
    }
    out.path = *path;
    const bool written = convert::ConvertToPdf(s.runner, s.files, s.msgBox, s.progress,
                                               settings::Settings, out.path, jobPath);
    // The reserved name is given back when no PDF took its place.
    if (!written) s.files.RemoveFile(out.path);
    out.result = written ? SavedWithoutAsking::Written : SavedWithoutAsking::NotConverted;
    return out;
}

std::string FileNameTimestamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H-%M-%S", &local);
    return text;
}

std::string FallbackToSaveAsText(const std::string& folder, const std::string& problem) {
    return "The PDF could not be saved automatically in the folder\r\n" + folder + "\r\n" +
           problem + "\r\n\r\nChoose where to save it instead.";
}

}  // namespace vellum::startup
