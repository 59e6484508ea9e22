#include "convert/trusted_folder.h"

#include "toolkit/runtime_error.h"

namespace vellum::convert {

namespace {

bool Trusted(toolkit::OwnerKind owner) {
    return owner != toolkit::OwnerKind::Other;
}

// Read, list and traverse the folder, and delete what is in it (FILE_DELETE_CHILD).
constexpr const char* kUserOnFolder = "0x1200e9";
// Modify (read, write, delete) on the files in it, not on the folder itself.
constexpr const char* kUserOnFiles = "0x1301bf";

}  // namespace

std::string WhyNotWritable(const toolkit::OpenedFacts& facts, bool local) {
    if (facts.link) return "It is a link (a junction or symbolic link), which is never followed.";
    if (!facts.folder) return "It is not a folder.";
    if (local && !Trusted(facts.owner))
        return "It is owned by " + facts.ownerName +
               ", not by SYSTEM, the Administrators or this account.";
    return "";
}

bool MayRemoveLeftover(const toolkit::OpenedFacts& facts, bool folder) {
    return !facts.link && facts.folder == folder && Trusted(facts.owner);
}

std::string OwnFolderAccess(const std::string& userSid) {
    if (userSid.empty()) return toolkit::kMachineOnlyAccess;
    return std::string(toolkit::kMachineOnlyAccess) + "(A;;" + kUserOnFolder + ";;;" + userSid +
           ")(A;OIIO;" + kUserOnFiles + ";;;" + userSid + ")";
}

TrustedFolder MakeTrustedFolder(toolkit::FileSystem& files, const std::string& folder,
                                const std::string& userFolder, const std::string& user,
                                bool vellumsOwn) {
    TrustedFolder result;
    const bool made = !userFolder.empty() && !files.FolderExists(userFolder);
    try {
        files.MakeFolders(folder);
    } catch (const toolkit::RuntimeError& e) {
        result.problem = e.Description();
        return result;
    }
    if (userFolder.empty()) return result;
    const auto giveUsersRights = [&](const std::string& done) {
        const std::string sid = files.AccountSid(user);
        result.note = sid.empty() ? "The user " + user +
                                        " was not found: only SYSTEM and the Administrators "
                                        "may open the folder " +
                                        userFolder + "."
                                  : done;
        if (const std::string failed = files.SetFolderAccess(userFolder, OwnFolderAccess(sid));
            !failed.empty())
            result.note = "The rights of the folder " + userFolder + " could not be set: " + failed;
    };
    if (made) giveUsersRights("");
    std::string error;
    result.held = files.OpenUnfollowed(userFolder, false, error);
    if (!result.held) {
        result.problem = error.empty() ? "It could not be opened." : error;
        return result;
    }
    result.problem = WhyNotWritable(result.held->Facts(), userFolder.rfind("\\\\", 0) != 0);
    if (!result.problem.empty()) {
        result.held.reset();
    } else if (!made && vellumsOwn && result.held->Facts().inheritsAccess) {
        // Checked and held first: the rights go on the folder that was checked.
        giveUsersRights("The folder " + userFolder +
                        ", made by an earlier version, was given its user's own rights.");
    }
    return result;
}

}  // namespace vellum::convert
