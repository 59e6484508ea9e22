#pragma once

#include <string>

#include "toolkit/msg_box.h"
#include "toolkit/runtime_error.h"

namespace vellum::toolkit {

// The three message boxes a trap shows; each caller names its form.
enum class ReportForm {
    Short,         // "N: description", titled "Error!"
    Long,          // "Error: N   Source: S" CRLF description, titled "Error"
    LongOneSpace,  // "Error: N Source: S" CRLF description, titled "Error!"
};

std::string ErrorReportText(ReportForm form, const RuntimeError& error);
std::string ErrorReportTitle(ReportForm form);
void ErrorReport(MsgBox& box, ReportForm form, const RuntimeError& error);

// How the platform reports a run-time error that no trap caught, before the program ends:
// "Run-time error 'N':", a blank line, the description, titled "Vellum".
std::string UntrappedErrorText(const RuntimeError& error);
void ReportUntrapped(MsgBox& box, const RuntimeError& error);

}  // namespace vellum::toolkit
