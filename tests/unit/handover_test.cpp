#include "startup/handover.h"

#include <gtest/gtest.h>

#include <functional>

#include "config/print_platform.h"
#include "fakes/fake_startup.h"
#include "fakes/fake_user_sessions.h"

namespace vellum::startup {

namespace {

constexpr const char* kJob = "C:\\Windows\\Temp\\reda00512";
const std::string kCopy = "C:\\ProgramData\\Vellum\\handover reda00512";
const std::string kMarks = " REDMON_USER=alice VELLUM_HANDED_OVER=1";
const std::string kRun = "run 2 \"C:\\Vellum\\vellum.exe\" \"" + std::string(kJob) + "\"";

// What one row ends as: the calls that changed something, then the result or the refusal; or
// the protected-print verdict, or the log's folder.
std::string Transcript(FakeProcessEnvironment& environment, FakeUserSessions& sessions) {
    const HandOverResult r =
        HandOver(environment, sessions, "C:\\Vellum\\vellum.exe", kJob, "C:\\ProgramData\\Vellum");
    std::string text;
    for (const std::string& call : sessions.calls) text += call + " | ";
    return text + (r.handedOver ? "exit " + std::to_string(r.exitCode) + ": " + r.logLine
                                : "refused at " + r.refusal.step + ": " + r.refusal.error);
}

}  // namespace

TEST(HandOverTest, WhoWhereHowAndWhyNotAndWhereThePrinterCannotWork) {
    const SessionAccount alice{"alice", "PC"}, bob{"bob", "PC"}, nobody{};
    const char* kArm64 =
        "...ARM64 cannot load RedMon, the x64 port monitor Vellum prints through, and there is "
        "no remedy today.";
    const std::string allow = "allow PC\\alice " + std::string(kJob) + " | ";
    const std::string copy = "copy " + std::string(kJob) + " to " + kCopy + " for PC\\alice | ";
    const std::string runCopy = "run 2 \"C:\\Vellum\\vellum.exe\" \"" + kCopy + "\"" + kMarks +
                                " | remove " + kCopy + " | ";
    const auto ran = [](const char* through, int code) {
        return "exit " + std::to_string(code) + ": PC\\alice, session 2, job read through " +
               through + ": exit code " + std::to_string(code);
    };
    const std::map<unsigned long, SessionAccount> onConsole = {{2, alice}};
    const auto console = [&](FakeUserSessions& s) { s.accounts = onConsole, s.console = 2; };
    struct Row {
        const char* what;
        std::map<std::string, std::string> variables;
        std::function<void(FakeUserSessions&)> world;
        std::string expected;
    } rows[] = {
        {"the spooler's owner over a stale REDMON_USER, in RedMon's session",
         {{"REDMON_PRINTER", "Vellum PDF"},
          {"REDMON_JOB", "7"},
          {"REDMON_USER", "bob"},
          {"REDMON_SESSIONID", "2"}},
         [&](FakeUserSessions& s) {
             s.owner = "alice", s.accounts = {{2, alice}, {3, bob}};
         },
         allow + kRun + " REDMON_JOB=7 REDMON_PRINTER=Vellum PDF REDMON_SESSIONID=2" + kMarks +
             " | " + ran("an access entry", 0)},
        {"no spooler record: REDMON_USER; RedMon's session is another user's: the console's",
         {{"REDMON_USER", "ALICE"}, {"REDMON_SESSIONID", "3"}},
         [&](FakeUserSessions& s) {
             s.accounts = {{2, alice}, {3, bob}}, s.console = 2;
         },
         allow + kRun + " REDMON_SESSIONID=3 REDMON_USER=ALICE VELLUM_HANDED_OVER=1 | " +
             ran("an access entry", 0)},
        {"an active session of the user's, the console at the logon screen; exit code passed on",
         {{"REDMON_USER", "PC\\alice"}},
         [&](FakeUserSessions& s) {
             s.accounts = {{1, nobody}, {2, alice}}, s.console = 1, s.active = {1, 2};
             s.exitCode = 1;
         },
         allow + kRun + " REDMON_USER=PC\\alice VELLUM_HANDED_OVER=1 | " +
             ran("an access entry", 1)},
        {"session 0 is no one's desktop",
         {{"REDMON_USER", "alice"}, {"REDMON_SESSIONID", "0"}},
         [&](FakeUserSessions& s) {
             s.accounts = {{0, alice}}, s.active = {0};
         },
         "refused at finding alice's session: no active session of alice on this computer"},
        {"another domain's alice",
         {{"REDMON_USER", "OTHER\\alice"}},
         console,
         "refused at finding OTHER\\alice's session: no active session of OTHER\\alice on this "
         "computer"},
        {"no user anywhere",
         {{"REDMON_PRINTER", "Vellum PDF"}, {"REDMON_JOB", "8"}},
         console,
         "refused at the job's user: GetJobW(8): The parameter is incorrect (87); REDMON_USER "
         "empty"},
        {"sessions cannot be listed",
         {{"REDMON_USER", "alice"}},
         [&](FakeUserSessions& s) { s.enumerates = false; },
         "refused at finding alice's session: WTSEnumerateSessionsW: Access is denied (5)"},
        {"a list that takes no entry: a private copy, removed afterwards",
         {{"REDMON_USER", "alice"}},
         [&](FakeUserSessions& s) { console(s), s.aclRefused = true; },
         allow + copy + runCopy + ran("a copy", 0)},
        {"neither entry nor copy",
         {{"REDMON_USER", "alice"}},
         [&](FakeUserSessions& s) { console(s), s.aclRefused = s.copyRefused = true; },
         allow + copy + "refused at letting alice read the job: SetNamedSecurityInfoW: Access is " +
             "denied (5); CreateFileW(" + kCopy + "): Access is denied (5)"},
        {"not SYSTEM: no token; the copy goes all the same",
         {{"REDMON_USER", "alice"}},
         [&](FakeUserSessions& s) { console(s), s.aclRefused = true, s.system = false; },
         allow + copy + runCopy +
             "refused at starting Vellum in alice's session: WTSQueryUserToken(2): A required "
             "privilege is not held by the client (1314)"},
        // Where the logs go and where the printer cannot work.
        {"log: seen",
         {{"LOCALAPPDATA", "C:\\Users\\alice\\AppData\\Local"}},
         nullptr,
         "C:\\Users\\alice\\AppData\\Local\\Vellum"},
        {"log: unseen",
         {{"LOCALAPPDATA", "C:\\x"}, {"ProgramData", "D:\\PD"}},
         nullptr,
         "D:\\PD\\Vellum"},
        {"platform: fine", {{"wppMode", "0"}}, nullptr, ""},
        {"platform: the user's switch",
         {{"wppMode", "1"}},
         nullptr,
         "...is on and allows no printer built on a port monitor such as RedMon; turn it off under "
         "Settings > Bluetooth & devices > Printers & scanners > Printer preferences, then run "
         "Vellum's setup again."},
        {"platform: a policy that turns it off wins",
         {{"wppMode", "1"}, {"wppPolicy", "0"}},
         nullptr,
         ""},
        {"platform: the policy",
         {{"wppPolicy", "1"}},
         nullptr,
         "...is turned on by your organization's policy and allows no printer built on a port "
         "monitor such as RedMon; ask your administrator to turn the policy off, then run "
         "Vellum's setup again."},
        {"platform: ARM64", {{"arm64", ""}}, nullptr, kArm64},
        // Windows' own answer, where it has one, over the registry's values.
        {"platform: Windows says off", {{"windows", "0"}, {"wppMode", "1"}}, nullptr, ""},
        {"platform: Windows says on, by the policy",
         {{"windows", "1"}, {"wppPolicy", "1"}},
         nullptr,
         "...is turned on by your organization's policy and allows no printer built on a port "
         "monitor such as RedMon; ask your administrator to turn the policy off, then run "
         "Vellum's setup again."},
        {"platform: Windows says on",
         {{"windows", "1"}, {"wppMode", "0"}},
         nullptr,
         "...is on and allows no printer built on a port monitor such as RedMon; turn it off under "
         "Settings > Bluetooth & devices > Printers & scanners > Printer preferences, then run "
         "Vellum's setup again."},
        // Configure Vellum names the reason only when its port is missing.
        {"platform: ARM64, the port listed", {{"arm64", ""}, {"port", " rpt1: "}}, nullptr, ""},
        {"platform: ARM64, the port missing", {{"arm64", ""}, {"port", "RPT9:"}}, nullptr, kArm64},
        {"platform: ARM64, no port", {{"arm64", ""}, {"port", " "}}, nullptr, kArm64},
        {"platform: fine, the port missing", {{"port", "RPT9:"}}, nullptr, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        FakeProcessEnvironment environment;
        environment.variables = row.variables;
        FakeUserSessions sessions;
        const std::string what = row.what;
        std::string got;
        if (row.world) {
            row.world(sessions);
            got = Transcript(environment, sessions);
        } else if (what.rfind("log: ", 0) == 0) {
            got = JobLogFolder(environment, what == "log: seen");
        } else {
            config::PrintPlatform platform;
            const auto number = [&](const char* name) -> std::optional<unsigned long> {
                if (!row.variables.count(name)) return std::nullopt;
                return std::stoul(row.variables.at(name));
            };
            platform = {number("wppPolicy"), number("wppMode"),
                        row.variables.count("arm64") ? config::kMachineArm64 : (unsigned short)0};
            if (const auto windows = number("windows")) platform.protectedPrint = *windows != 0;
            got = row.variables.count("port")
                      ? config::MissingPortProblem(platform, row.variables.at("port"), {"RPT1:"})
                      : config::PrintPlatformProblem(platform);
            const size_t cut = got.find("mode ");
            if (got.find("ARM64") != std::string::npos)
                got = "..." + got.substr(got.find("ARM64"));
            else if (cut != std::string::npos)
                got = "..." + got.substr(cut + 5);
        }
        EXPECT_EQ(got, row.expected);
    }
}

}  // namespace vellum::startup
