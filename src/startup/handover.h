#pragma once

// Where no one sees this process's windows (RedMon could not start it as the printing user, so
// it runs as SYSTEM in session 0), the job is handed to a Vellum of the printing user's own, in
// that user's session on its visible desktop: an ordinary asked job there. docs/handover.md
// tells the whole chain.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "toolkit/process_environment.h"

namespace vellum::startup {

// What a system call gave: its value, or what failed in the system's own words
// ("WTSQueryUserToken: A required privilege is not held by the client (1314)").
template <class T>
struct Found {
    std::optional<T> value;
    std::string error;
};

struct SessionAccount {
    std::string user;    // WTSUserName; "" for a session no one is logged on to
    std::string domain;  // WTSDomainName
};

inline constexpr unsigned long kNoSession = 0xFFFFFFFF;

// The session, token and spooler calls a handover makes; each answers as its Win32 call is
// documented to.
class UserSessions {
public:
    virtual ~UserSessions() = default;
    // OpenPrinterW(printer), GetJobW(job, level 1): the job's owner, pUserName.
    virtual Found<std::string> JobOwner(const std::string& printer, unsigned long job) = 0;
    // WTSQuerySessionInformationW: WTSUserName and WTSDomainName of `session`.
    virtual Found<SessionAccount> AccountOf(unsigned long session) = 0;
    // WTSEnumerateSessionsW: the sessions whose state is WTSActive.
    virtual Found<std::vector<unsigned long>> ActiveSessions() = 0;
    // WTSGetActiveConsoleSessionId: kNoSession while none is attached to the console.
    virtual unsigned long ConsoleSession() = 0;
    // An access entry letting `account` (DOMAIN\user, its SID by LookupAccountNameW) read
    // `path`, added to the file's own list. "" when done, else the failure.
    virtual std::string AllowRead(const std::string& path, const std::string& account) = 0;
    // A copy of `path` as `copy`, made with a protected list: `account` may read it, SYSTEM and
    // Administrators may do anything, nothing is inherited. "" when done.
    virtual std::string PrivateCopy(const std::string& path, const std::string& copy,
                                    const std::string& account) = 0;
    virtual void Remove(const std::string& path) = 0;
    // WTSQueryUserToken(session), CreateEnvironmentBlock(token) with `variables` set in it,
    // CreateProcessAsUserW(token, `program`, `commandLine`) on winsta0\default; waits for the
    // process and gives its exit code.
    virtual Found<int> RunInSession(
        unsigned long session, const std::string& program, const std::string& commandLine,
        const std::vector<std::pair<std::string, std::string>>& variables) = 0;
};

// Whom the job goes to: the printing user, in which session.
struct HandOverTarget {
    std::string user;     // as the job names it
    std::string account;  // DOMAIN\user of the session
    unsigned long session = 0;
};

// Why a job stays here: the step that failed and the system's error, for the log.
struct HandOverRefusal {
    std::string step;
    std::string error;
};

struct TargetOrRefusal {
    std::optional<HandOverTarget> target;
    HandOverRefusal refusal;
};

// The printing user: the spooler's owner of REDMON_JOB on REDMON_PRINTER, else REDMON_USER
// (which RedMon does not reset between jobs). Its session: REDMON_SESSIONID when not 0 and that
// session's account is the user; else the console's session, then each active session, whose
// account is the user.
TargetOrRefusal FindPrintingSession(toolkit::ProcessEnvironment& environment,
                                    UserSessions& sessions);

// Whether `jobUser` (bare, or DOMAIN\user) names `account`; case does not count.
bool SameAccount(const std::string& jobUser, const SessionAccount& account);

// The variables a handed-over Vellum is started with: RedMon's, REDMON_USER the user found, and
// the mark that keeps it from handing the job on again.
std::vector<std::pair<std::string, std::string>> HandOverVariables(
    toolkit::ProcessEnvironment& environment, const std::string& user);

inline constexpr const char* kHandedOverMark = "VELLUM_HANDED_OVER";

struct HandOverResult {
    bool handedOver = false;
    int exitCode = 0;         // the user's Vellum's, once handed over
    std::string logLine;      // handed over: "<user>, session <n>: exit code <c>"
    HandOverRefusal refusal;  // not handed over: why
};

// Hands `jobPath` to the printing user's session and waits for that Vellum (`program`) to end.
// The job is made readable to the user by an access entry on the file, else by a private copy
// in `copyFolder`, removed afterwards. Not handed over: the refusal says where it stopped.
HandOverResult HandOver(toolkit::ProcessEnvironment& environment, UserSessions& sessions,
                        const std::string& program, const std::string& jobPath,
                        const std::string& copyFolder);

// The log a job writes to: the user's own (%LOCALAPPDATA%\Vellum) where someone sees its
// windows, the machine's (%ProgramData%\Vellum) where no one does.
std::string JobLogFolder(toolkit::ProcessEnvironment& environment, bool canShowWindows);

}  // namespace vellum::startup
