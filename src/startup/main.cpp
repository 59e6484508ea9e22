#include "startup/main.h"

#include "convert/convert.h"
#include "startup/command_line.h"
#include "startup/prompt.h"
#include "settings/settings.h"
#include "startup/load_settings.h"
#include "toolkit/text.h"
#include "toolkit/error_report.h"

namespace vellum::startup {

std::string FileNameOf(const std::string& path) {
    const size_t slash = path.rfind('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

AfterMain Main(Services& s, const std::string& commandTail) {
    const Mode mode = ChooseMode(commandTail);
    try {
        SettingsServices settings{s.registry, s.files, s.msgBox, s.config};
        LoadSettings(settings);

        if (mode == Mode::Configure) {
            s.config.Show();
            return AfterMain::RunMessageLoop;
        }
        if (mode == Mode::Mail) {
            s.sendMail.Show();
            return AfterMain::RunMessageLoop;
        }

        const std::string jobPath = JobPathOf(commandTail);
        s.events.DoEvents();
        const std::string pdfPath = PromptForPdfPath(s.config, s.msgBox, settings::Settings.defDir);
        if (!pdfPath.empty() &&
            convert::ConvertToPdf(s.runner, s.files, s.msgBox, settings::Settings, pdfPath,
                                  jobPath) &&
            toolkit::TrimSpaces(settings::Settings.sendMail) == "1") {
            mail::SendDocuments(s.mapi, s.msgBox, 0, ";", pdfPath, FileNameOf(pdfPath));
        }
        return AfterMain::EndProgram;
    } catch (const toolkit::RuntimeError& e) {
        toolkit::ErrorReport(s.msgBox, toolkit::ReportForm::Short, e);
        // A hidden configuration window must not keep a finished job's process alive.
        return mode == Mode::Convert ? AfterMain::EndProgram : AfterMain::RunMessageLoop;
    }
}

}  // namespace vellum::startup
