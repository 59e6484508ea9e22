#include "startup/ask_pdf.h"

#include "convert/existing_pdf.h"

namespace vellum::startup {

namespace {

enum Button { kReplace, kAddPages, kCancel };

std::string NameOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

AskedPdf AskForPdf(toolkit::FileDialogs& dialogs, toolkit::MsgBox& msgBox,
                   toolkit::TaskDialog& question, toolkit::FileSystem& files,
                   const std::string& initDir, const std::string& fileName) {
    std::string folder = initDir;
    std::string name = fileName;
    for (;;) {
        const PdfChoice choice = PromptForPdfPath(dialogs, msgBox, folder, name);
        if (choice.result != PromptResult::Chosen || !files.FileSize(choice.path))
            return {choice.result, choice.path};
        const std::optional<int> answer = question.Choose(
            NameOf(choice.path) + " already exists.", "Vellum", {"Replace", "Add pages", "Cancel"});
        if (answer == kReplace) return {PromptResult::Chosen, choice.path};
        if (answer == kAddPages) {
            const std::string why = convert::WhyPagesCannotBeAdded(files, choice.path);
            if (why.empty()) return {PromptResult::Chosen, choice.path, true};
            msgBox.Show(convert::CannotAddPagesText(choice.path, why), "Vellum",
                        toolkit::Icon::Warning);
        }
        // Save As again, in the file's folder with its name.
        folder.clear();
        name = choice.path;
    }
}

}  // namespace vellum::startup
