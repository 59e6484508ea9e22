#include "startup/ask_pdf.h"

#include <gtest/gtest.h>

#include "fakes/fake_controls.h"
#include "fakes/fake_file_system.h"
#include "fakes/fake_msg_box.h"

namespace vellum::startup {

TEST(AskForPdf, AnExistingFileIsReplacedAddedToOrChosenAgain) {
    const std::string pdf = "%PDF-1.7\ntrailer\nstartxref\n9\n%%EOF\n";
    const struct {
        std::string existing;  // "" when no file is there
        std::vector<std::optional<int>> answers;
        std::string outcome;  // the path and whether pages are added, then each Save As's name
    } rows[] = {
        {"", {}, "C:\\PDF\\a.pdf new | a.pdf"},
        {pdf, {0}, "C:\\PDF\\a.pdf new | a.pdf"},
        {pdf, {1}, "C:\\PDF\\a.pdf add | a.pdf"},
        {pdf, {2, 0}, "C:\\PDF\\a.pdf new | a.pdf C:\\PDF\\a.pdf"},
        {pdf, {std::nullopt, 1}, "C:\\PDF\\a.pdf add | a.pdf C:\\PDF\\a.pdf"},
        {"%!PS", {1, 0}, "C:\\PDF\\a.pdf new | a.pdf C:\\PDF\\a.pdf ! it is not a PDF"},
    };
    for (const auto& row : rows) {
        FakeFileDialogs dialogs;
        dialogs.answers = {"C:\\PDF\\a.pdf", "C:\\PDF\\a.pdf"};
        FakeMsgBox box;
        FakeTaskDialog question;
        question.answers = row.answers;
        FakeFileSystem files;
        if (!row.existing.empty()) files.Write("C:\\PDF\\a.pdf", row.existing);
        const AskedPdf asked = AskForPdf(dialogs, box, question, files, "C:\\PDF", "a.pdf");
        std::string outcome = asked.path + (asked.addPages ? " add |" : " new |");
        for (const auto& [kind, request] : dialogs.shown) outcome += " " + request.fileName;
        for (const auto& shown : box.shown)
            outcome += " ! " + shown.text.substr(shown.text.find(": ") + 2,
                                                 shown.text.find('.', shown.text.find(": ")) -
                                                     shown.text.find(": ") - 2);
        EXPECT_EQ(outcome, row.outcome);
        EXPECT_EQ(dialogs.shown.back().second.initDir, dialogs.shown.size() == 1 ? "C:\\PDF" : "");
    }
}

}  // namespace vellum::startup
