#include "toolkit/error_report.h"

namespace vellum::toolkit {

std::string ErrorReportText(ReportForm form, const RuntimeError& error) {
    const std::string number = std::to_string(error.Number());
    switch (form) {
        case ReportForm::Short:
            return number + ": " + error.Description();
        case ReportForm::Long:
            return "Error: " + number + "   Source: " + error.Source() + "\r\n" +
                   error.Description();
        case ReportForm::LongOneSpace:
            return "Error: " + number + " Source: " + error.Source() + "\r\n" + error.Description();
    }
    return error.Description();
}

std::string ErrorReportTitle(ReportForm form) {
    return form == ReportForm::Long ? "Error" : "Error!";
}

void ErrorReport(MsgBox& box, ReportForm form, const RuntimeError& error) {
    box.Show(ErrorReportText(form, error), ErrorReportTitle(form), Icon::Error);
}

std::string UntrappedErrorText(const RuntimeError& error) {
    return "Run-time error '" + std::to_string(error.Number()) + "':\r\n\r\n" + error.Description();
}

void ReportUntrapped(MsgBox& box, const RuntimeError& error) {
    box.Show(UntrappedErrorText(error), "Vellum", Icon::Error);
}

}  // namespace vellum::toolkit
