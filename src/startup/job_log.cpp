#include "startup/job_log.h"

#include <cstdio>
#include <utility>

namespace vellum::startup {

using toolkit::LogField;

std::string ProgramDataFolder(toolkit::ProcessEnvironment& environment) {
    return toolkit::LogFolder(environment);
}

std::string JobUser(toolkit::ProcessEnvironment& environment, toolkit::Session& session) {
    const std::string printing = environment.Variable("REDMON_USER").value_or("");
    return printing.empty() ? session.UserName() : printing;
}

JobLog::JobLog(toolkit::FileSystem& files, toolkit::Session& session, std::string folder,
               std::string user)
    : files_(files), session_(session), folder_(std::move(folder)), user_(std::move(user)) {}

void JobLog::Message(const std::string& text) {
    Append("message\t" + LogField(text));
}

void JobLog::Job(const JobEntry& e) {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f", e.seconds);
    Append(LogField(e.mode) + "\t" +
           LogField(e.detail.empty() ? e.result : e.result + ": " + e.detail) + "\t" +
           LogField(e.pdfPath) + "\t" + seconds + "\t" +
           (e.exitCode ? std::to_string(*e.exitCode) : std::string("-")));
}

void JobLog::Append(const std::string& fields) {
    toolkit::AppendLogLine(files_, folder_, session_.Now(), user_, document_, fields);
}

void LoggedMsgBox::Show(const std::string& text, const std::string& title, toolkit::Icon icon) {
    log_.Message(title + ": " + text);
    if (show_) inner_.Show(text, title, icon);
}

toolkit::Answer LoggedMsgBox::Ask(const std::string& text, const std::string& title,
                                  toolkit::Icon icon, toolkit::Buttons buttons) {
    log_.Message(title + ": " + text);
    if (show_) return inner_.Ask(text, title, icon, buttons);
    return toolkit::Answer::NoWindow;
}

}  // namespace vellum::startup
