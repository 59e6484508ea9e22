#include "startup/unique_name.h"

namespace vellum::startup {

namespace {

constexpr int kMaxNumber = 9999;

}  // namespace

std::optional<std::string> ReserveUniquePdfPath(toolkit::FileSystem& files,
                                                const std::string& folder,
                                                const std::string& name) {
    const std::string base = folder + (folder.empty() || folder.back() == '\\' ? "" : "\\") + name;
    for (int number = 1; number <= kMaxNumber; ++number) {
        const std::string path =
            base + (number == 1 ? "" : " (" + std::to_string(number) + ")") + ".pdf";
        if (files.CreateNewFile(path)) return path;
    }
    return std::nullopt;
}

}  // namespace vellum::startup
