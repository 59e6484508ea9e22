#include "setup/helper_commands.h"

#include <algorithm>
#include <map>
#include <optional>

#include "setup/first_settings.h"
#include "settings/ghostscript_search.h"
#include "toolkit/paths.h"
#include "setup/printer_setup.h"
#include "toolkit/runtime_error.h"

namespace vellum::setup {

using settings::FindGhostscript;
using toolkit::JoinPath;
namespace {

struct UsageError {
    std::string why;
};

// "--name value" options; `repeatable` ones collect every value.
struct Options {
    std::map<std::string, std::vector<std::string>> values;

    std::optional<std::string> One(const std::string& name) const {
        const auto it = values.find(name);
        if (it == values.end()) return std::nullopt;
        return it->second.back();
    }
    std::vector<std::string> All(const std::string& name) const {
        const auto it = values.find(name);
        return it == values.end() ? std::vector<std::string>{} : it->second;
    }
};

Options ParseOptions(const std::vector<std::string>& arguments, size_t first,
                     const std::vector<std::string>& known) {
    Options options;
    for (size_t i = first; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        if (std::find(known.begin(), known.end(), name) == known.end())
            throw UsageError{"unknown option \"" + name + "\""};
        if (i + 1 >= arguments.size()) throw UsageError{name + " needs a value"};
        options.values[name].push_back(arguments[++i]);
    }
    return options;
}

HelperResult FindCommand(const std::vector<std::string>& arguments, HelperServices& services) {
    if (arguments.size() != 2) throw UsageError{"find-ghostscript needs exe, lib or fonts"};
    const auto found = FindGhostscript(services.registry, services.files);
    const std::string& what = arguments[1];
    if (what != "exe" && what != "lib" && what != "fonts")
        throw UsageError{"find-ghostscript needs exe, lib or fonts"};
    HelperResult result;
    if (found)
        result.output = what == "exe" ? found->exe : what == "lib" ? found->lib : found->fonts;
    if (result.output.empty()) result.exitCode = kExitNotFound;
    return result;
}

SavingDefaults SavingOptions(const Options& options) {
    return {options.One("--save-mode").value_or(""),     options.One("--auto-dir").value_or(""),
            options.One("--quality").value_or(""),       options.One("--pdfa").value_or(""),
            options.One("--auto-existing").value_or(""), options.One("--auto-name").value_or("")};
}

HelperResult CheckSavingCommand(const std::vector<std::string>& arguments) {
    HelperResult result;
    result.message = SavingDefaultsProblem(SavingOptions(ParseOptions(
        arguments, 1,
        {"--save-mode", "--auto-dir", "--quality", "--pdfa", "--auto-existing", "--auto-name"})));
    if (!result.message.empty()) result.exitCode = kExitSavingRefused;
    return result;
}

HelperResult SettingsCommand(const std::vector<std::string>& arguments, HelperServices& services) {
    const Options options =
        ParseOptions(arguments, 1,
                     {"--gs-exe", "--gs-lib", "--gs-fonts", "--save-mode", "--auto-dir",
                      "--quality", "--pdfa", "--auto-existing", "--auto-name"});
    GhostscriptSettings ghostscript;
    if (options.One("--gs-exe")) {
        ghostscript.gsExe = *options.One("--gs-exe");
        ghostscript.gsLib = options.One("--gs-lib").value_or("");
        ghostscript.gsFonts = options.One("--gs-fonts").value_or("");
    } else if (const auto found = FindGhostscript(services.registry, services.files)) {
        ghostscript = {found->exe, found->lib, found->fonts};
    }
    const SavingDefaults saving = SavingOptions(options);
    // Checked before anything is written; a bad switch costs the saving defaults alone, never
    // the settings the first print needs.
    const std::string problem = SavingDefaultsProblem(saving);
    HelperResult result;
    if (problem.empty()) {
        for (const std::string& name : WriteSavingDefaults(services.registry, saving))
            result.output += name + "\n";
    }
    for (const std::string& name : WriteFirstSettings(services.registry, ghostscript))
        result.output += name + "\n";
    if (!problem.empty()) {
        result.exitCode = kExitSavingRefused;
        result.message = "Setup stored none of the saving switches, because " + problem +
                         ". Vellum's other settings were stored.";
        // A silent install shows nothing: the log is where an administrator looks.
        if (services.log) services.log(result.message);
    }
    return result;
}

HelperResult PrinterCommand(const std::vector<std::string>& arguments, HelperServices& services) {
    const Options options =
        ParseOptions(arguments, 1, {"--driver", "--redrun", "--vellum", "--printer"});
    PrinterRequest request;
    request.printer = options.One("--printer").value_or(kDefaultPrinter);
    request.drivers = options.All("--driver");
    request.redrun = options.One("--redrun").value_or("");
    request.vellumExe =
        options.One("--vellum").value_or(JoinPath(services.ownFolder, "vellum.exe"));
    request.programFiles = services.programFiles;
    request.systemFolder = services.systemFolder;
    if (request.printer.empty()) throw UsageError{"--printer needs a name"};

    const PrinterReport report =
        MakePrinter(services.spooler, services.registry, services.files, request);
    HelperResult result;
    switch (report.outcome) {
        case PrinterOutcome::Made:
            result.output = "port " + report.port + "\nprinter " + request.printer + "\n" +
                            (report.driver.empty() ? "" : "driver " + report.driver + "\n") +
                            "redrun " + report.redrun + "\n";
            result.message = "The printer \"" + request.printer + "\" prints to PDF through " +
                             report.port + ".";
            break;
        case PrinterOutcome::NoMonitor:
            result.exitCode = kExitNoMonitor;
            result.message = kRedMonNeeded;
            break;
        case PrinterOutcome::NoRedRun:
            result.exitCode = kExitNoRedRun;
            result.message = request.redrun.empty()
                                 ? "RedMon is installed, but its RedRun program (redrun.exe) "
                                   "was not found beside it. Copy redrun.exe from the RedMon "
                                   "package into " +
                                       JoinPath(services.programFiles, "RedMon") +
                                       " and add the printer again."
                                 : "RedRun was not found at " + request.redrun + ".";
            break;
        case PrinterOutcome::PrinterTaken:
            result.exitCode = kExitPrinterTaken;
            result.message = "A printer named \"" + request.printer + "\" already exists (on " +
                             report.takenBy + "); it was left as it is.";
            break;
    }
    return result;
}

HelperResult RemoveCommand(const std::vector<std::string>& arguments, HelperServices& services) {
    if (arguments.size() != 1) throw UsageError{"remove takes no options"};
    HelperResult result;
    for (const std::string& failure : RemovePrinter(services.spooler, services.registry))
        result.message += failure + "\n";
    if (!result.message.empty()) result.exitCode = kExitFailed;
    return result;
}

}  // namespace

HelperResult RunHelper(const std::vector<std::string>& arguments, HelperServices& services) {
    try {
        if (arguments.empty()) throw UsageError{"no command"};
        const std::string& command = arguments[0];
        if (command == "find-ghostscript") return FindCommand(arguments, services);
        if (command == "check-saving") return CheckSavingCommand(arguments);
        if (command == "settings") return SettingsCommand(arguments, services);
        if (command == "printer") return PrinterCommand(arguments, services);
        if (command == "remove") return RemoveCommand(arguments, services);
        if (command == "check-platform") {
            if (arguments.size() != 1) throw UsageError{"check-platform takes no options"};
            const std::string problem = config::PrintPlatformProblem(services.platform);
            return {problem.empty() ? kExitDone : kExitCannotWork, problem, ""};
        }
        throw UsageError{"unknown command \"" + command + "\""};
    } catch (const UsageError& e) {
        return {
            kExitUsage, "",
            e.why +
                "\nusage: vellum-setup-helper find-ghostscript exe|lib|fonts | settings "
                "[--gs-exe P --gs-lib P --gs-fonts P] [--save-mode M] [--auto-dir P] [--quality Q] "
                "[--pdfa N] | check-saving [the same saving options] | printer [--driver NAME]... "
                "[--redrun PATH] [--vellum PATH] [--printer NAME] | remove | check-platform"};
    } catch (const toolkit::RuntimeError& e) {
        return {kExitFailed, "", e.Description()};
    } catch (const std::exception& e) {
        return {kExitFailed, "", e.what()};
    }
}

}  // namespace vellum::setup
