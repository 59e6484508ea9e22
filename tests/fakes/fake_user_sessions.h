#pragma once

// The session, token and spooler calls of a handover, answering as Windows documents them:
// WTSQueryUserToken refuses (1314) a process that is not SYSTEM. Each call that changes
// something is written to `calls`.

#include <map>
#include <string>
#include <vector>

#include "startup/handover.h"

namespace vellum {

class FakeUserSessions : public startup::UserSessions {
public:
    startup::Found<std::string> JobOwner(const std::string& printer, unsigned long job) override {
        if (printer == spoolerPrinter && job == spoolerJob) return {owner, ""};
        return {std::nullopt,
                "GetJobW(" + std::to_string(job) + "): The parameter is incorrect (87)"};
    }
    startup::Found<startup::SessionAccount> AccountOf(unsigned long session) override {
        const auto found = accounts.find(session);
        if (found == accounts.end()) return {startup::SessionAccount{}, ""};
        return {found->second, ""};
    }
    startup::Found<std::vector<unsigned long>> ActiveSessions() override {
        if (!enumerates) return {std::nullopt, "WTSEnumerateSessionsW: Access is denied (5)"};
        return {active, ""};
    }
    unsigned long ConsoleSession() override { return console; }
    std::string AllowRead(const std::string& path, const std::string& account) override {
        calls.push_back("allow " + account + " " + path);
        return aclRefused ? "SetNamedSecurityInfoW: Access is denied (5)" : "";
    }
    std::string PrivateCopy(const std::string& path, const std::string& copy,
                            const std::string& account) override {
        calls.push_back("copy " + path + " to " + copy + " for " + account);
        return copyRefused ? "CreateFileW(" + copy + "): Access is denied (5)" : "";
    }
    void Remove(const std::string& path) override { calls.push_back("remove " + path); }
    startup::Found<int> RunInSession(
        unsigned long session, const std::string&, const std::string& commandLine,
        const std::vector<std::pair<std::string, std::string>>& variables) override {
        std::string line = "run " + std::to_string(session) + " " + commandLine;
        for (const auto& [name, value] : variables) line += " " + name + "=" + value;
        calls.push_back(line);
        if (!system)
            return {std::nullopt, "WTSQueryUserToken(" + std::to_string(session) +
                                      "): A required privilege is not held by the "
                                      "client (1314)"};
        return {exitCode, ""};
    }

    std::string spoolerPrinter = "Vellum PDF";
    unsigned long spoolerJob = 7;
    std::optional<std::string> owner;
    std::map<unsigned long, startup::SessionAccount> accounts;
    std::vector<unsigned long> active;
    bool enumerates = true;
    unsigned long console = startup::kNoSession;
    bool aclRefused = false, copyRefused = false;
    bool system = true;  // the process runs as SYSTEM and holds SeTcbPrivilege
    int exitCode = 0;
    std::vector<std::string> calls;
};

}  // namespace vellum
