#pragma once

// Folders that this program writes in or deletes from while it may run as SYSTEM: nothing a
// user plants there (a link, a folder of their own) may steer where SYSTEM writes or deletes.
// docs/users.md has the rules and docs/windows-contracts.md the calls.

#include <memory>
#include <string>

#include "toolkit/file_system.h"

namespace vellum::convert {

// Why PDFs may not be written into the folder an open by handle found (`local`: on this
// computer's own volumes, where owners are this computer's accounts); "" when they may. It
// must be a folder, not a link, and, locally, owned by SYSTEM, Administrators or this account.
std::string WhyNotWritable(const toolkit::OpenedFacts& facts, bool local);

// Whether a leftover of an earlier run may be deleted: a file or folder as `folder` says, not
// a link, owned by SYSTEM, Administrators or this account.
bool MayRemoveLeftover(const toolkit::OpenedFacts& facts, bool folder);

// The access list of a folder made for one user: SYSTEM and Administrators in full; the user
// (`userSid`, none when "") may read it and delete and change what is in it, but neither add
// anything nor change the folder itself (its rights, its owner, into a link). Nothing inherited.
std::string OwnFolderAccess(const std::string& userSid);

// A folder checked and held for writing; while held it cannot be renamed or removed.
struct TrustedFolder {
    std::unique_ptr<toolkit::OpenedObject> held;
    std::string problem;  // why it may not be written in; "" when it may
    std::string note;     // for the log: the user's name did not resolve, or its rights failed
};

// Makes `folder` as needed. `userFolder` ("" for none) is the part of it made for `user`: made
// by this call, it gets OwnFolderAccess at once; made or found, it is then opened by handle,
// checked (WhyNotWritable) and held. One found in Vellum's own machine folders (`vellumsOwn`)
// whose list is still inherited gets OwnFolderAccess once checked: an earlier version made it
// so, and the list its machine folder now passes down keeps the user out.
TrustedFolder MakeTrustedFolder(toolkit::FileSystem& files, const std::string& folder,
                                const std::string& userFolder, const std::string& user,
                                bool vellumsOwn = false);

}  // namespace vellum::convert
