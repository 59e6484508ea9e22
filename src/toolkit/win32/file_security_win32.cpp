#include "toolkit/win32/file_security_win32.h"

#include <windows.h>
#include <accctrl.h>
#include <aclapi.h>
#include <sddl.h>

#include <vector>

#include "toolkit/win32/handles.h"
#include "toolkit/win32/strings.h"
#include "toolkit/win32/system_error.h"

namespace vellum::win32 {

namespace {

// This process's own account, for "owned by this account".
std::vector<BYTE> ProcessUser() {
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return {};
    KernelHandle token(raw);
    DWORD size = 0;
    GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (size == 0 || !GetTokenInformation(token.Get(), TokenUser, buffer.data(), size, &size))
        return {};
    return buffer;
}

std::string SidName(PSID sid) {
    wchar_t name[256];
    wchar_t domain[256];
    DWORD nameLength = 256;
    DWORD domainLength = 256;
    SID_NAME_USE use;
    if (LookupAccountSidW(nullptr, sid, name, &nameLength, domain, &domainLength, &use))
        return (domainLength > 0 ? Narrow(domain) + "\\" : "") + Narrow(name);
    wchar_t* text = nullptr;
    if (!ConvertSidToStringSidW(sid, &text)) return "an unknown account";
    LocalMemory owned(text);
    return Narrow(text);
}

toolkit::OwnerKind KindOf(PSID owner) {
    if (IsWellKnownSid(owner, WinLocalSystemSid)) return toolkit::OwnerKind::System;
    if (IsWellKnownSid(owner, WinBuiltinAdministratorsSid))
        return toolkit::OwnerKind::Administrators;
    std::vector<BYTE> self = ProcessUser();
    if (!self.empty() && EqualSid(owner, reinterpret_cast<TOKEN_USER*>(self.data())->User.Sid))
        return toolkit::OwnerKind::ThisAccount;
    return toolkit::OwnerKind::Other;
}

class Opened : public toolkit::OpenedObject {
public:
    Opened(KernelHandle handle, toolkit::OpenedFacts facts)
        : handle_(std::move(handle)), facts_(std::move(facts)) {}
    const toolkit::OpenedFacts& Facts() const override { return facts_; }
    std::vector<std::string> Names() override {
        std::vector<std::string> names;
        if (!facts_.folder || facts_.link) return names;
        // Listed by this handle: FindFirstFileW would open the folder again, and Wine's opens it
        // without delete sharing, which this handle's DELETE access refuses.
        alignas(8) BYTE buffer[64 * 1024];
        FILE_INFO_BY_HANDLE_CLASS query = FileIdBothDirectoryRestartInfo;
        while (GetFileInformationByHandleEx(handle_.Get(), query, buffer, sizeof buffer)) {
            query = FileIdBothDirectoryInfo;
            for (BYTE* at = buffer;;) {
                const auto* entry = reinterpret_cast<FILE_ID_BOTH_DIR_INFO*>(at);
                const std::wstring name(entry->FileName, entry->FileNameLength / sizeof(wchar_t));
                if (name != L"." && name != L"..") names.push_back(Narrow(name));
                if (entry->NextEntryOffset == 0) break;
                at += entry->NextEntryOffset;
            }
        }
        return names;
    }
    std::string Delete() override {
        // A read-only file refuses its deletion: the flag goes first, through the same handle.
        FILE_BASIC_INFO basic{};
        if (GetFileInformationByHandleEx(handle_.Get(), FileBasicInfo, &basic, sizeof basic) &&
            (basic.FileAttributes & FILE_ATTRIBUTE_READONLY)) {
            basic.FileAttributes &= ~FILE_ATTRIBUTE_READONLY;
            SetFileInformationByHandle(handle_.Get(), FileBasicInfo, &basic, sizeof basic);
        }
        FILE_DISPOSITION_INFO disposition{TRUE};
        if (!SetFileInformationByHandle(handle_.Get(), FileDispositionInfo, &disposition,
                                        sizeof disposition))
            return DescribeSystemError(GetLastError());
        handle_.Reset();  // deleted as the last handle closes
        return "";
    }

private:
    KernelHandle handle_;
    toolkit::OpenedFacts facts_;
};

}  // namespace

std::unique_ptr<toolkit::OpenedObject> OpenUnfollowed(const std::string& path, bool forDelete,
                                                      std::string& error) {
    // FILE_LIST_DIRECTORY (FILE_READ_DATA for a file) lets a folder be listed by this handle.
    const DWORD access = FILE_READ_ATTRIBUTES | READ_CONTROL | FILE_LIST_DIRECTORY | SYNCHRONIZE |
                         (forDelete ? DELETE | FILE_WRITE_ATTRIBUTES : 0);
    KernelHandle handle(CreateFileW(
        Widen(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
        FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle) {
        error = DescribeSystemError(GetLastError(), {path});
        return nullptr;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(handle.Get(), &information)) {
        error = DescribeSystemError(GetLastError(), {path});
        return nullptr;
    }
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const DWORD got = GetSecurityInfo(handle.Get(), SE_FILE_OBJECT,
                                      OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                      &owner, nullptr, nullptr, nullptr, &descriptor);
    LocalMemory ownedDescriptor(descriptor);
    toolkit::OpenedFacts facts;
    facts.folder = (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    facts.link = (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if (got == ERROR_SUCCESS && owner != nullptr) {
        facts.owner = KindOf(owner);
        facts.ownerName = SidName(owner);
        SECURITY_DESCRIPTOR_CONTROL control = 0;
        DWORD revision = 0;
        facts.inheritsAccess = GetSecurityDescriptorControl(descriptor, &control, &revision) &&
                               (control & SE_DACL_PROTECTED) == 0;
    } else {
        facts.owner = toolkit::OwnerKind::Other;
        facts.ownerName = "an account that could not be read (" + DescribeSystemError(got) + ")";
    }
    return std::make_unique<Opened>(std::move(handle), std::move(facts));
}

std::string AccountSid(const std::string& name) {
    if (name.empty()) return "";
    const std::wstring wide = Widen(name);
    DWORD sidSize = 0;
    DWORD domainSize = 0;
    SID_NAME_USE use;
    LookupAccountNameW(nullptr, wide.c_str(), nullptr, &sidSize, nullptr, &domainSize, &use);
    if (sidSize == 0) return "";
    std::vector<BYTE> sid(sidSize);
    std::vector<wchar_t> domain(domainSize + 1);
    if (!LookupAccountNameW(nullptr, wide.c_str(), sid.data(), &sidSize, domain.data(), &domainSize,
                            &use))
        return "";
    wchar_t* text = nullptr;
    if (!ConvertSidToStringSidW(sid.data(), &text)) return "";
    LocalMemory owned(text);
    return Narrow(text);
}

std::string SetFolderAccess(const std::string& path, const std::string& sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(Widen(sddl).c_str(), SDDL_REVISION_1,
                                                              &descriptor, nullptr))
        return DescribeSystemError(GetLastError());
    LocalMemory owned(descriptor);
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL dacl = nullptr;
    if (!GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted))
        return DescribeSystemError(GetLastError());
    std::wstring wide = Widen(path);
    const DWORD set =
        SetNamedSecurityInfoW(wide.data(), SE_FILE_OBJECT,
                              DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                              nullptr, nullptr, dacl, nullptr);
    return set == ERROR_SUCCESS ? "" : DescribeSystemError(set, {path});
}

bool RunsAsSystem() {
    std::vector<BYTE> self = ProcessUser();
    return !self.empty() &&
           IsWellKnownSid(reinterpret_cast<TOKEN_USER*>(self.data())->User.Sid, WinLocalSystemSid);
}

}  // namespace vellum::win32
