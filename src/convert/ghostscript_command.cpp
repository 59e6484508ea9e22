#include "convert/ghostscript_command.h"

namespace vellum::convert {

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    size_t backslashes = 0;
    for (char c : text) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') backslashes = backslashes * 2 + 1;
        out.append(backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, '\\');
    out += '"';
    return out;
}

std::string ProgramOf(const std::string& commandLine) {
    if (!commandLine.empty() && commandLine[0] == '"') {
        const size_t end = commandLine.find('"', 1);
        return commandLine.substr(1, end == std::string::npos ? std::string::npos : end - 1);
    }
    return commandLine.substr(0, commandLine.find_first_of(" \t"));
}

std::string GhostscriptCommandLine(const settings::SettingsRecord& settings,
                                   const std::string& outputFile, const std::string& psPath) {
    return Quoted(settings.gsExe) + " -I" + Quoted(settings.gsLib + ";" + settings.gsFonts) +
           " -sDEVICE=pdfwrite -r300 -q -dBATCH -dNOPAUSE -dSAFER -sPAPERSIZE=a4" +
           " -sOutputFile=" + Quoted(outputFile) + " -c save pop -f " + Quoted(psPath);
}

}  // namespace vellum::convert
