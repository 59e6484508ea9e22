#include "toolkit/common_dialog.h"

#include <gtest/gtest.h>

#include "fakes/fake_controls.h"

namespace vellum::toolkit {

TEST(CommonDialog, FilterSplitsIntoDescriptionPatternPairs) {
    using Pairs = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(ParseFilter("Adobe PDF Files (*.pdf)|*.pdf|All Files (*.*)|*.*"),
              (Pairs{{"Adobe PDF Files (*.pdf)", "*.pdf"}, {"All Files (*.*)", "*.*"}}));
    EXPECT_EQ(ParseFilter("Text|*.txt|dangling"), (Pairs{{"Text", "*.txt"}}));
    EXPECT_TRUE(ParseFilter("").empty());
}

TEST(CommonDialog, CancelRaisesTheCancelErrorOnlyWhenAskedTo) {
    FakeFileDialogs dialogs;
    CommonDialog dlg(dialogs, "Save As");
    dlg.FileName = "old";
    dlg.CancelError = true;
    try {
        dlg.ShowSave();
        FAIL() << "a cancel with CancelError must raise";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.Number(), kErrCommonDialogCancel);
    }
    dlg.CancelError = false;
    dlg.ShowOpen();
    EXPECT_EQ(dlg.FileName, "");

    dialogs.answers.push_back("C:\\x.pdf");
    dlg.ShowSave();
    EXPECT_EQ(dlg.FileName, "C:\\x.pdf");
    EXPECT_EQ(dialogs.shown.back().second.title, "Save As") << "the stored title";
}

}  // namespace vellum::toolkit
