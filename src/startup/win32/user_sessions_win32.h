#pragma once

#include "startup/handover.h"

namespace vellum::win32 {

// The spooler, Remote Desktop Services and token calls of a handover (winspool, wtsapi32,
// userenv, advapi32). WTSQueryUserToken needs SeTcbPrivilege: only SYSTEM gets past it.
class UserSessions : public startup::UserSessions {
public:
    startup::Found<std::string> JobOwner(const std::string& printer, unsigned long job) override;
    startup::Found<startup::SessionAccount> AccountOf(unsigned long session) override;
    startup::Found<std::vector<unsigned long>> ActiveSessions() override;
    unsigned long ConsoleSession() override;
    std::string AllowRead(const std::string& path, const std::string& account) override;
    std::string PrivateCopy(const std::string& path, const std::string& copy,
                            const std::string& account) override;
    void Remove(const std::string& path) override;
    startup::Found<int> RunInSession(
        unsigned long session, const std::string& program, const std::string& commandLine,
        const std::vector<std::pair<std::string, std::string>>& variables) override;
};

}  // namespace vellum::win32
