#include "startup/job_file.h"

namespace vellum::startup {

namespace {

std::string NotMade(const std::string& problem, const std::string& path) {
    return problem + ":\r\n" + path + "\r\n\r\nNo PDF was made.";
}

}  // namespace

std::optional<std::string> CheckJobFile(toolkit::FileSystem& files, toolkit::MsgBox& msgBox,
                                        const std::string& jobPath) {
    std::string text;
    if (jobPath.empty()) {
        text = "No print job file was named, so no PDF was made.";
    } else {
        const std::string full = files.FullPath(jobPath);
        const std::optional<std::uint64_t> size = files.FileSize(full);
        if (size && *size > 0) return full;
        if (size)
            text = NotMade("The print job file is empty", full);
        else if (files.FolderExists(full))
            text = NotMade("The print job is a folder, not a file", full);
        else
            text = NotMade("The print job file does not exist", full);
    }
    msgBox.Show(text, "Error!", toolkit::Icon::Error);
    return std::nullopt;
}

}  // namespace vellum::startup
