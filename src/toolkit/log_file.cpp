#include "toolkit/log_file.h"

#include "toolkit/paths.h"
#include "toolkit/runtime_error.h"

namespace vellum::toolkit {

std::string LogFolder(ProcessEnvironment& environment) {
    const std::string programData = environment.Variable("ProgramData").value_or("");
    return JoinPath(programData.empty() ? "C:\\ProgramData" : programData, "Vellum");
}

std::string LogField(const std::string& text) {
    std::string field;
    for (char c : text) field += (c == '\t' || c == '\r' || c == '\n') ? ' ' : c;
    return field;
}

void AppendLogLine(FileSystem& files, const std::string& folder, const LocalTime& time,
                   const std::string& user, const std::string& document,
                   const std::string& fields) {
    const std::string line = FormatLocalTime(time, ':') + "\t" + LogField(user) + "\t" +
                             LogField(document) + "\t" + fields + "\r\n";
    const std::string path = JoinPath(folder, "vellum.log");
    const auto full = [&] { return files.FileSize(path).value_or(0) + line.size() > kLogLimit; };
    // Two programs may find the log full at once. One moves it under the lock and the other,
    // once it holds the lock, finds the new log short and leaves it: never is a fresh log moved
    // over vellum.old.log. One that finds the lock taken writes to the log as it is.
    if (full()) {
        try {
            const auto lock = files.HoldAlone(JoinPath(folder, "vellum.log.lock"));
            if (lock && full()) files.MoveReplacing(path, JoinPath(folder, "vellum.old.log"));
        } catch (const RuntimeError&) {
            // Held open elsewhere: the line goes to the full log.
        }
    }
    try {
        if (files.AppendText(path, line)) return;
        files.MakeFolders(folder);  // setup makes it; a copied program has none yet
        files.AppendText(path, line);
    } catch (const RuntimeError&) {
        // The folder is not ours to make: the program goes on without its line.
    }
}

}  // namespace vellum::toolkit
