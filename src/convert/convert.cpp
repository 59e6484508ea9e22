#include "convert/convert.h"

#include <vector>

#include "convert/ghostscript_command.h"
#include "toolkit/text.h"

namespace vellum::convert {

std::string OutputTail(const std::string& output, size_t maxLines, size_t maxChars) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : output) {
        if (c == '\r') continue;
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(line);
    while (!lines.empty() && toolkit::TrimSpaces(lines.back()).empty()) lines.pop_back();

    std::string tail;
    size_t taken = 0;
    for (auto it = lines.rbegin(); it != lines.rend() && taken < maxLines; ++it, ++taken) {
        std::string candidate = *it + (tail.empty() ? "" : "\r\n" + tail);
        if (candidate.size() > maxChars) {
            if (tail.empty()) tail = "..." + it->substr(it->size() - (maxChars - 3));
            break;
        }
        tail = std::move(candidate);
    }
    return tail;
}

bool ConvertToPdf(ProcessRunner& runner, toolkit::FileSystem& files, toolkit::MsgBox& msgBox,
                  const settings::SettingsRecord& settings, const std::string& pdfPath,
                  const std::string& psPath) {
    const ProcessResult result =
        runner.RunAndWait(GhostscriptCommandLine(settings, pdfPath, psPath), kSwHide);
    if (!result.started) {
        msgBox.Show(
            "Ghostscript could not be started.\r\n" + settings.gsExe + "\r\n" + result.startError,
            "Error!", toolkit::Icon::Error);
        return false;
    }
    if (result.exitCode == 0 && files.FileExists(pdfPath)) return true;

    std::string text = "Ghostscript could not convert the print job (exit code " +
                       std::to_string(result.exitCode) + ").";
    const std::string tail = OutputTail(result.output);
    if (!tail.empty()) text += "\r\n\r\n" + tail;
    msgBox.Show(text, "Error!", toolkit::Icon::Error);
    return false;
}

}  // namespace vellum::convert
