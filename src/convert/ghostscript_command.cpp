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

std::string LiteralOutputFile(const std::string& path) {
    std::string literal;
    for (char c : path) literal += c == '%' ? std::string("%%") : std::string(1, c);
    return literal;
}

namespace {

// The output intent, as pdfmarks: the profile (named by -sPDFAProfile, read under SAFER
// through --permit-file-read) becomes an ICC stream of three components, which the catalog's
// output intent names.
constexpr const char* kOutputIntentPrologue =
    "[/_objdef {vellum_icc} /type /stream /OBJ pdfmark "
    "[{vellum_icc} <</N 3>> /PUT pdfmark "
    "[{vellum_icc} PDFAProfile (r) file /PUT pdfmark "
    "[/_objdef {vellum_intent} /type /dict /OBJ pdfmark "
    "[{vellum_intent} <</Type /OutputIntent /S /GTS_PDFA1 /DestOutputProfile {vellum_icc} "
    "/OutputConditionIdentifier (sRGB) /Info (sRGB IEC61966-2.1)>> /PUT pdfmark "
    "[{Catalog} <</OutputIntents [{vellum_intent}]>> /PUT pdfmark";

}  // namespace

std::string GhostscriptCommandLine(const settings::SettingsRecord& settings,
                                   const std::string& outputFile, const std::string& psPath,
                                   const std::string& pdfaProfile, const std::string& pagesBefore,
                                   const DocumentInfo& info) {
    std::string line = Quoted(settings.gsExe) + " -I" +
                       Quoted(settings.gsLib + ";" + settings.gsFonts) +
                       " -sDEVICE=pdfwrite -r300 -q -dBATCH -dNOPAUSE -dSAFER -sPAPERSIZE=a4";
    if (!settings.pdfQuality.empty() && settings.pdfQuality != settings::kDefaultQuality)
        line += " -dPDFSETTINGS=/" + settings.pdfQuality;
    std::string prologue;
    if (!pdfaProfile.empty()) {
        // Policy 1: what PDF/A forbids is left out and the file stays PDF/A, rather than
        // Ghostscript falling back to an ordinary PDF.
        line +=
            " -dPDFA=2 -dPDFACompatibilityPolicy=1 -sColorConversionStrategy=RGB"
            " -dEmbedAllFonts=true --permit-file-read=" +
            Quoted(pdfaProfile) + " -sPDFAProfile=" + Quoted(pdfaProfile);
        prologue = std::string(" ") + Quoted(kOutputIntentPrologue);
    }
    std::string inputs = Quoted(psPath);
    if (!pagesBefore.empty()) {
        line += " --permit-file-read=" + Quoted(pagesBefore);
        inputs = Quoted(pagesBefore) + " " + inputs;
    }
    const std::string docInfo = DocInfoPdfmark(info);
    if (!docInfo.empty()) inputs += " -c " + Quoted(docInfo);
    return line + " -sOutputFile=" + Quoted(outputFile) + " -c save pop" + prologue + " -f " +
           inputs;
}

std::optional<std::string> FindSrgbProfile(toolkit::FileSystem& files, const std::string& gsLib) {
    std::string lib = gsLib;
    while (!lib.empty() && (lib.back() == '\\' || lib.back() == '/')) lib.pop_back();
    const size_t slash = lib.find_last_of("\\/");
    if (slash == std::string::npos) return std::nullopt;
    const std::string folder = lib.substr(0, slash + 1) + "iccprofiles\\";
    for (const char* name : {"srgb.icc", "default_rgb.icc"})
        if (files.FileExists(folder + name)) return folder + name;
    return std::nullopt;
}

}  // namespace vellum::convert
