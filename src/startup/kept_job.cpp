#include "startup/kept_job.h"

#include "convert/trusted_folder.h"
#include "startup/document_name.h"
#include "toolkit/paths.h"
#include "toolkit/runtime_error.h"

namespace vellum::startup {

namespace {

constexpr int kNameTries = 100;

}  // namespace

std::vector<KeepPlace> KeepPlaces(const std::optional<SaveStep>& tookJob,
                                  const std::string& programData, const std::string& user) {
    std::vector<KeepPlace> places;
    if (tookJob && tookJob->way == SaveWay::IntoFolder)
        places.push_back({tookJob->folder, tookJob->userFolder, tookJob->vellumsOwn});
    const std::string failed = FailedFolderFor(programData, user);
    places.push_back({failed, failed, true});
    return places;
}

std::string KeptJobName(const std::string& title, const std::string& folder,
                        const toolkit::LocalTime& now) {
    const std::string name = PdfNameFor(title, folder);
    return (name.empty() ? "Vellum" : name) + " " + toolkit::FormatLocalTime(now, '-');
}

KeptJob KeepJob(toolkit::FileSystem& files, const std::vector<KeepPlace>& places,
                const std::string& name, const std::string& jobPath, const std::string& user) {
    KeptJob kept;
    for (const KeepPlace& place : places) {
        const convert::TrustedFolder folder = convert::MakeTrustedFolder(
            files, place.folder, place.userFolder, user, place.vellumsOwn);
        if (!folder.note.empty()) kept.note = folder.note;
        kept.why = folder.problem;
        if (!kept.why.empty()) continue;
        try {
            for (int n = 1; n <= kNameTries; ++n) {
                const std::string path = toolkit::JoinPath(
                    place.folder, name + (n == 1 ? "" : " (" + std::to_string(n) + ")") + ".ps");
                if (files.CopyNew(jobPath, path)) {
                    kept.path = path;
                    return kept;
                }
            }
            kept.why = "Every name for it there is taken.";
        } catch (const toolkit::RuntimeError& e) {
            kept.why = e.Description();
        }
    }
    return kept;
}

}  // namespace vellum::startup
