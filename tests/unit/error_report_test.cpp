#include "toolkit/error_report.h"

#include <gtest/gtest.h>

#include "fakes/fake_msg_box.h"

namespace vellum::toolkit {

TEST(ErrorReport, FormsCarryNumberSourceAndDescriptionExactly) {
    const RuntimeError error(429, "Vellum", "ActiveX component can't create object");
    EXPECT_EQ(ErrorReportText(ReportForm::Short, error),
              "429: ActiveX component can't create object");
    EXPECT_EQ(ErrorReportTitle(ReportForm::Short), "Error!");
    EXPECT_EQ(ErrorReportText(ReportForm::Long, error),
              "Error: 429   Source: Vellum\r\nActiveX component can't create object");
    EXPECT_EQ(ErrorReportTitle(ReportForm::Long), "Error");
    EXPECT_EQ(ErrorReportText(ReportForm::LongOneSpace, error),
              "Error: 429 Source: Vellum\r\nActiveX component can't create object");
    EXPECT_EQ(ErrorReportTitle(ReportForm::LongOneSpace), "Error!");
}

TEST(ErrorReport, ShowsWithErrorIcon) {
    FakeMsgBox box;
    ErrorReport(box, ReportForm::Long, RuntimeError(-2147024894, "Registry", "gone"));
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].icon, Icon::Error);
    EXPECT_EQ(box.shown[0].text, "Error: -2147024894   Source: Registry\r\ngone");
}

TEST(ErrorReport, UntrappedErrorLooksLikeThePlatformsReport) {
    FakeMsgBox box;
    ReportUntrapped(box, RuntimeError(48, "Vellum", "Error in loading DLL"));
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text, "Run-time error '48':\r\n\r\nError in loading DLL");
    EXPECT_EQ(box.shown[0].title, "Vellum");
    EXPECT_EQ(box.shown[0].icon, Icon::Error);
}

}  // namespace vellum::toolkit
