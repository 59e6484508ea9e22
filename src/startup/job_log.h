#pragma once

// The log of every job, %ProgramData%\Vellum\vellum.log: one line per job and one per message,
// appended whole, so that jobs running at once never mix their lines. docs/users.md shows
// the format.

#include <cstdint>
#include <optional>
#include <string>

#include "toolkit/file_system.h"
#include "toolkit/log_file.h"
#include "toolkit/msg_box.h"
#include "toolkit/process_environment.h"
#include "toolkit/session.h"

namespace vellum::startup {

using toolkit::kLogLimit;

// The folder of the log and of what no one could be asked about: %ProgramData%\Vellum.
std::string ProgramDataFolder(toolkit::ProcessEnvironment& environment);

// The user a job is for: REDMON_USER, the printing user the port monitor names, else the
// account the process runs as.
std::string JobUser(toolkit::ProcessEnvironment& environment, toolkit::Session& session);

struct JobEntry {
    std::string mode;     // "asked", "automatic" or "no window"
    std::string result;   // "written", "cancelled", "failed"
    std::string detail;   // for a failure: Ghostscript's error line, or why it did not run
    std::string pdfPath;  // "" when no PDF was chosen
    double seconds = 0;
    std::optional<std::uint32_t> exitCode;  // Ghostscript's, when it ran to its end
};

class JobLog {
public:
    JobLog(toolkit::FileSystem& files, toolkit::Session& session, std::string folder,
           std::string user);

    void SetDocument(const std::string& document) { document_ = document; }
    // A message the user was shown, or would have been where no one can see a window.
    void Message(const std::string& text);
    void Job(const JobEntry& entry);

private:
    // Never stops the job: a line that cannot be written is lost.
    void Append(const std::string& fields);

    toolkit::FileSystem& files_;
    toolkit::Session& session_;
    std::string folder_;
    std::string user_;
    std::string document_;
};

// Shows messages through `inner` and logs each; where `show` is false it only logs them, and a
// question is answered NoWindow.
class LoggedMsgBox : public toolkit::MsgBox {
public:
    LoggedMsgBox(toolkit::MsgBox& inner, JobLog& log, bool show)
        : inner_(inner), log_(log), show_(show) {}
    void Show(const std::string& text, const std::string& title, toolkit::Icon icon) override;
    toolkit::Answer Ask(const std::string& text, const std::string& title, toolkit::Icon icon,
                        toolkit::Buttons buttons) override;

private:
    toolkit::MsgBox& inner_;
    JobLog& log_;
    bool show_;
};

}  // namespace vellum::startup
