#include "startup/job_log.h"

#include <cstdio>
#include <utility>

#include "toolkit/paths.h"
#include "toolkit/runtime_error.h"

namespace vellum::startup {

namespace {

// A field never breaks its line or its columns.
std::string Field(const std::string& text) {
    std::string field;
    for (char c : text) field += (c == '\t' || c == '\r' || c == '\n') ? ' ' : c;
    return field;
}

}  // namespace

std::string ProgramDataFolder(toolkit::ProcessEnvironment& environment) {
    const std::string programData = environment.Variable("ProgramData").value_or("");
    return toolkit::JoinPath(programData.empty() ? "C:\\ProgramData" : programData, "Vellum");
}

std::string JobUser(toolkit::ProcessEnvironment& environment, toolkit::Session& session) {
    const std::string printing = environment.Variable("REDMON_USER").value_or("");
    return printing.empty() ? session.UserName() : printing;
}

JobLog::JobLog(toolkit::FileSystem& files, toolkit::Session& session, std::string folder,
               std::string user)
    : files_(files), session_(session), folder_(std::move(folder)), user_(std::move(user)) {}

void JobLog::Message(const std::string& text) {
    Append("message\t" + Field(text));
}

void JobLog::Job(const JobEntry& e) {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f", e.seconds);
    Append(Field(e.mode) + "\t" + Field(e.detail.empty() ? e.result : e.result + ": " + e.detail) +
           "\t" + Field(e.pdfPath) + "\t" + seconds + "\t" +
           (e.exitCode ? std::to_string(*e.exitCode) : std::string("-")));
}

void JobLog::Append(const std::string& fields) {
    const std::string line = toolkit::FormatLocalTime(session_.Now(), ':') + "\t" + Field(user_) +
                             "\t" + Field(document_) + "\t" + fields + "\r\n";
    const std::string path = toolkit::JoinPath(folder_, "vellum.log");
    const auto full = [&] { return files_.FileSize(path).value_or(0) + line.size() > kLogLimit; };
    // Two jobs may find the log full at once. One moves it under the lock and the other, once
    // it holds the lock, finds the new log short and leaves it: never is a fresh log moved over
    // vellum.old.log. A job that finds the lock taken writes to the log as it is.
    if (full()) {
        const auto lock = files_.Lock(toolkit::JoinPath(folder_, "vellum.log.lock"));
        try {
            if (lock && full())
                files_.MoveReplacing(path, toolkit::JoinPath(folder_, "vellum.old.log"));
        } catch (const toolkit::RuntimeError&) {
            // Held open elsewhere: the line goes to the full log.
        }
    }
    try {
        if (files_.AppendText(path, line)) return;
        files_.MakeFolders(folder_);  // setup makes it; a copied program has none yet
        files_.AppendText(path, line);
    } catch (const toolkit::RuntimeError&) {
        // The folder is not ours to make: the job goes on without its line.
    }
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
