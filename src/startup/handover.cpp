#include "startup/handover.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "startup/job_log.h"
#include "toolkit/paths.h"

namespace vellum::startup {

namespace {

// What RedMon tells its program of the job; carried over to the user's Vellum unchanged.
constexpr const char* kRedMonVariables[] = {
    "REDMON_PORT",          "REDMON_JOB",      "REDMON_PRINTER",
    "REDMON_OUTPUTPRINTER", "REDMON_MACHINE",  "REDMON_DOCNAME",
    "REDMON_BASENAME",      "REDMON_FILENAME", "REDMON_SESSIONID"};

// A whole unsigned decimal number; nothing for anything else.
std::optional<unsigned long> Number(const std::optional<std::string>& text) {
    if (!text || text->empty() || text->size() > 10 ||
        !std::all_of(text->begin(), text->end(), [](unsigned char c) { return std::isdigit(c); }))
        return std::nullopt;
    const unsigned long long value = std::strtoull(text->c_str(), nullptr, 10);
    if (value > 0xFFFFFFFFull) return std::nullopt;
    return static_cast<unsigned long>(value);
}

std::string AccountName(const SessionAccount& account) {
    return account.domain.empty() ? account.user : account.domain + "\\" + account.user;
}

std::string LastComponent(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

bool SameAccount(const std::string& jobUser, const SessionAccount& account) {
    if (account.user.empty()) return false;
    const size_t slash = jobUser.find('\\');
    if (slash == std::string::npos) return toolkit::SameName(jobUser, account.user);
    return toolkit::SameName(jobUser.substr(0, slash), account.domain) &&
           toolkit::SameName(jobUser.substr(slash + 1), account.user);
}

TargetOrRefusal FindPrintingSession(toolkit::ProcessEnvironment& environment,
                                    UserSessions& sessions) {
    // The spooler's record of the job is the one the client cannot have left stale.
    std::string user;
    std::string spoolerError = "REDMON_PRINTER or REDMON_JOB not set";
    const std::string printer = environment.Variable("REDMON_PRINTER").value_or("");
    const std::optional<unsigned long> job = Number(environment.Variable("REDMON_JOB"));
    if (!printer.empty() && job) {
        const Found<std::string> owner = sessions.JobOwner(printer, *job);
        if (owner.value && !owner.value->empty()) user = *owner.value;
        spoolerError = owner.error;
    }
    if (user.empty()) user = environment.Variable("REDMON_USER").value_or("");
    if (user.empty())
        return {std::nullopt, {"the job's user", spoolerError + "; REDMON_USER empty"}};

    const auto accountIfUsers = [&](unsigned long session) -> std::optional<HandOverTarget> {
        if (session == 0 || session == kNoSession) return std::nullopt;  // no one sees session 0
        const Found<SessionAccount> account = sessions.AccountOf(session);
        if (!account.value || !SameAccount(user, *account.value)) return std::nullopt;
        return HandOverTarget{user, AccountName(*account.value), session};
    };
    if (const auto redmon = Number(environment.Variable("REDMON_SESSIONID")))
        if (auto target = accountIfUsers(*redmon)) return {target, {}};
    std::vector<unsigned long> candidates{sessions.ConsoleSession()};
    const Found<std::vector<unsigned long>> active = sessions.ActiveSessions();
    if (active.value)
        candidates.insert(candidates.end(), active.value->begin(), active.value->end());
    for (unsigned long session : candidates)
        if (auto target = accountIfUsers(session)) return {target, {}};
    return {std::nullopt,
            {"finding " + user + "'s session",
             active.value ? "no active session of " + user + " on this computer" : active.error}};
}

std::vector<std::pair<std::string, std::string>> HandOverVariables(
    toolkit::ProcessEnvironment& environment, const std::string& user) {
    std::vector<std::pair<std::string, std::string>> variables;
    for (const char* name : kRedMonVariables)
        if (const auto value = environment.Variable(name)) variables.emplace_back(name, *value);
    variables.emplace_back("REDMON_USER", user);
    variables.emplace_back(kHandedOverMark, "1");
    return variables;
}

HandOverResult HandOver(toolkit::ProcessEnvironment& environment, UserSessions& sessions,
                        const std::string& program, const std::string& jobPath,
                        const std::string& copyFolder) {
    HandOverResult result;
    const TargetOrRefusal found = FindPrintingSession(environment, sessions);
    if (!found.target) {
        result.refusal = found.refusal;
        return result;
    }
    const HandOverTarget& target = *found.target;
    // The job lies in SYSTEM's temporary folder: an entry on the file itself costs nothing
    // whatever the job's size; a copy only where the file's list cannot take one.
    std::string readPath = jobPath;
    std::string copy;
    const std::string denied = sessions.AllowRead(jobPath, target.account);
    if (!denied.empty()) {
        copy = toolkit::JoinPath(copyFolder, "handover " + LastComponent(jobPath));
        const std::string notCopied = sessions.PrivateCopy(jobPath, copy, target.account);
        if (!notCopied.empty()) {
            result.refusal = {"letting " + target.user + " read the job",
                              denied + "; " + notCopied};
            return result;
        }
        readPath = copy;
    }
    const Found<int> ran =
        sessions.RunInSession(target.session, program, "\"" + program + "\" \"" + readPath + "\"",
                              HandOverVariables(environment, target.user));
    if (!copy.empty()) sessions.Remove(copy);
    if (!ran.value) {
        result.refusal = {"starting Vellum in " + target.user + "'s session", ran.error};
        return result;
    }
    result.handedOver = true;
    result.exitCode = *ran.value;
    result.logLine = target.account + ", session " + std::to_string(target.session) +
                     ", job read through " + (copy.empty() ? "an access entry" : "a copy") +
                     ": exit code " + std::to_string(result.exitCode);
    return result;
}

std::string JobLogFolder(toolkit::ProcessEnvironment& environment, bool canShowWindows) {
    const std::string local = environment.Variable("LOCALAPPDATA").value_or("");
    if (!canShowWindows || local.empty()) return ProgramDataFolder(environment);
    return toolkit::JoinPath(local, "Vellum");
}

}  // namespace vellum::startup
