#include "toolkit/common_dialog.h"

#include "toolkit/runtime_error.h"

namespace vellum::toolkit {

std::vector<std::pair<std::string, std::string>> ParseFilter(const std::string& filter) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= filter.size() && !filter.empty()) {
        const size_t bar = filter.find('|', start);
        if (bar == std::string::npos) {
            parts.push_back(filter.substr(start));
            break;
        }
        parts.push_back(filter.substr(start, bar - start));
        start = bar + 1;
    }
    std::vector<std::pair<std::string, std::string>> pairs;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) pairs.emplace_back(parts[i], parts[i + 1]);
    return pairs;
}

void CommonDialog::Show(bool save) {
    FileDialogRequest request;
    request.owner = owner;
    request.title = DialogTitle;
    request.fileName = FileName;
    request.filters = ParseFilter(Filter);
    request.initDir = InitDir;
    request.flags = Flags;
    request.defaultExt = DefaultExt;
    const std::optional<std::string> chosen =
        save ? dialogs_.ShowSave(request) : dialogs_.ShowOpen(request);
    if (chosen) {
        FileName = *chosen;
        return;
    }
    if (CancelError)
        throw RuntimeError(kErrCommonDialogCancel, "CommonDialog", "Cancel was selected.");
    FileName.clear();
}

}  // namespace vellum::toolkit
