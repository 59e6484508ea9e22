#pragma once

// Files and folders by handle, never through a link, and their owners and access lists: what
// the file system binding needs where this program may run as SYSTEM (docs/windows-contracts.md).

#include <memory>
#include <string>

#include "toolkit/file_system.h"

namespace vellum::win32 {

// CreateFileW with FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, sharing read and
// write but not delete; the attributes (GetFileInformationByHandle) and the owner
// (GetSecurityInfo) of what was opened; Delete is SetFileInformationByHandle(FileDispositionInfo).
std::unique_ptr<toolkit::OpenedObject> OpenUnfollowed(const std::string& path, bool forDelete,
                                                      std::string& error);

// LookupAccountNameW, then ConvertSidToStringSidW; "" when the name does not resolve, the
// thread's last error then saying why.
std::string AccountSid(const std::string& name);

// ConvertStringSecurityDescriptorToSecurityDescriptorW, then SetNamedSecurityInfoW with
// DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION.
std::string SetFolderAccess(const std::string& path, const std::string& sddl);

// Whether this process runs as SYSTEM (the LocalSystem account).
bool RunsAsSystem();

}  // namespace vellum::win32
