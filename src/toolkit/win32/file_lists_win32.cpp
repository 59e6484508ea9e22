#include "toolkit/win32/file_lists_win32.h"

#include <shlwapi.h>

#include <algorithm>
#include <cwctype>

#include "toolkit/runtime_error.h"
#include "toolkit/win32/handles.h"
#include "toolkit/win32/strings.h"

namespace vellum::win32 {

namespace {

// The list boxes count their entries in 16 bits.
constexpr size_t kMaxEntries = 32767;
// Indentation per level of the folder tree, in spaces.
constexpr size_t kIndent = 3;

// The numbers and words the file-list controls give a folder that cannot be reached; the
// windows show the words as they are.
[[noreturn]] void FailFolder(DWORD error) {
    switch (error) {
        case ERROR_NOT_READY:
        case ERROR_INVALID_DRIVE:
        case ERROR_DEV_NOT_EXIST:
            throw toolkit::VellumError(toolkit::kErrDeviceUnavailable, "Device unavailable");
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            throw toolkit::VellumError(toolkit::kErrPathFileAccess, "Path/File access error");
        default:
            throw toolkit::VellumError(toolkit::kErrPathNotFound, "Path not found");
    }
}

bool IsBareDrive(const std::string& path) {
    return path.size() >= 2 && path[1] == ':' && std::iswalpha(static_cast<wint_t>(path[0])) &&
           (path.size() == 2 || path[2] == ' ');
}

wchar_t UpperLetter(char c) {
    return static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
}

std::wstring Root(wchar_t letter) {
    return std::wstring{letter, L':', L'\\'};
}

std::wstring Join(const std::wstring& folder, const std::wstring& name) {
    return !folder.empty() && folder.back() == L'\\' ? folder + name : folder + L'\\' + name;
}

bool SamePath(const std::string& a, const std::string& b) {
    return lstrcmpiW(Widen(a).c_str(), Widen(b).c_str()) == 0;
}

void CheckFolder(const std::wstring& folder) {
    if (folder.empty()) FailFolder(ERROR_PATH_NOT_FOUND);
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) FailFolder(GetLastError());
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) FailFolder(ERROR_PATH_NOT_FOUND);
}

enum class Kind { Folders, Files };

// The names of the folder's entries of that kind matching `pattern`, sorted without regard to
// case. Hidden entries are left out, and system files too.
std::vector<std::wstring> Entries(const std::wstring& folder, const std::wstring& pattern,
                                  Kind kind) {
    WIN32_FIND_DATAW data;
    const HANDLE first = FindFirstFileExW(Join(folder, pattern).c_str(), FindExInfoBasic, &data,
                                          FindExSearchNameMatch, nullptr, 0);
    if (first == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES) return {};
        FailFolder(error);
    }
    FindHandle find(first);
    std::vector<std::wstring> names;
    do {
        const std::wstring name = data.cFileName;
        const DWORD attributes = data.dwFileAttributes;
        if (attributes & FILE_ATTRIBUTE_HIDDEN) continue;
        if (kind == Kind::Folders) {
            if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && name != L"." && name != L"..")
                names.push_back(name);
        } else if (!(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM)) &&
                   PathMatchSpecW(name.c_str(), pattern.c_str())) {
            // The match again on the long name: the search also matches 8.3 short names.
            names.push_back(name);
        }
    } while (FindNextFileW(find.Get(), &data));
    std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
        return lstrcmpiW(a.c_str(), b.c_str()) < 0;
    });
    if (names.size() > kMaxEntries) names.resize(kMaxEntries);
    return names;
}

void FillListBox(HWND list, const std::vector<std::wstring>& items) {
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const std::wstring& item : items)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

}  // namespace

std::string FullFolderPath(const std::string& path) {
    if (IsBareDrive(path)) return Narrow(Root(UpperLetter(path[0])));
    if (path.empty()) return {};
    const std::wstring wide = Widen(path);
    const DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) return path;
    full.resize(length);
    while (full.size() > 1 && full.back() == L'\\' && !PathIsRootW(full.c_str())) full.pop_back();
    return Narrow(full);
}

// Drive list.

void DriveList::Open(HWND combo, const std::string& folder) {
    Attach(combo);
    Fill();
    const std::string full = FullFolderPath(folder);
    int index = full.size() >= 2 && full[1] == ':' ? IndexOf(UpperLetter(full[0])) : -1;
    if (index < 0 && !drives_.empty()) index = 0;
    current_ = index;
    SendMessageW(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void DriveList::Fill() {
    drives_.clear();
    std::vector<wchar_t> buffer(GetLogicalDriveStringsW(0, nullptr) + 1);
    const DWORD length = GetLogicalDriveStringsW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length == 0 || length >= buffer.size()) buffer.assign(1, L'\0');
    for (const wchar_t* root = buffer.data(); *root != L'\0'; root += lstrlenW(root) + 1) {
        Entry entry{static_cast<wchar_t>(std::towupper(root[0])), {}};
        std::wstring text{static_cast<wchar_t>(std::towlower(root[0])), L':'};
        // Removable and network drives are not asked for a label: asking may wait for the
        // medium or the network.
        const UINT type = GetDriveTypeW(root);
        wchar_t label[MAX_PATH + 1] = {};
        if ((type == DRIVE_FIXED || type == DRIVE_RAMDISK) &&
            GetVolumeInformationW(root, label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr,
                                  0) &&
            label[0] != L'\0') {
            text += L" [" + std::wstring(label) + L"]";
        }
        entry.text = Narrow(text);
        drives_.push_back(entry);
    }
    SendMessageW(hwnd_, CB_RESETCONTENT, 0, 0);
    for (const Entry& entry : drives_)
        SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(entry.text).c_str()));
}

int DriveList::IndexOf(wchar_t letter) const {
    for (size_t i = 0; i < drives_.size(); ++i)
        if (drives_[i].letter == letter) return static_cast<int>(i);
    return -1;
}

std::string DriveList::Drive() const {
    return current_ >= 0 ? drives_[static_cast<size_t>(current_)].text : std::string();
}

void DriveList::SetDrive(const std::string& drive) {
    if (drive.empty() || !std::iswalpha(static_cast<wint_t>(drive[0])))
        throw toolkit::VellumError(toolkit::kErrDeviceUnavailable, "Device unavailable");
    const wchar_t letter = UpperLetter(drive[0]);
    int index = IndexOf(letter);
    if (index < 0) {
        // A drive may have come since the list was made.
        const std::string shown = Drive();
        Fill();
        current_ = shown.empty() ? -1 : IndexOf(UpperLetter(shown[0]));
        SendMessageW(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(current_), 0);
        index = IndexOf(letter);
    }
    if (index < 0) throw toolkit::VellumError(toolkit::kErrDeviceUnavailable, "Device unavailable");
    MakeCurrent(index);
}

void DriveList::MakeCurrent(int index) {
    SendMessageW(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    if (index == current_) return;
    current_ = index;
    if (onChange) onChange();
}

void DriveList::OnCommand(WORD code) {
    // While the list is dropped, moving through it is not yet a choice.
    const bool dropped = SendMessageW(hwnd_, CB_GETDROPPEDSTATE, 0, 0) != 0;
    if ((code == CBN_SELCHANGE && !dropped) || code == CBN_CLOSEUP) {
        const LRESULT index = SendMessageW(hwnd_, CB_GETCURSEL, 0, 0);
        if (index != CB_ERR) MakeCurrent(static_cast<int>(index));
    }
}

// Directory list.

void DirList::Open(HWND list, const std::string& folder) {
    Attach(list);
    try {
        Show(FullFolderPath(folder));
    } catch (const toolkit::RuntimeError&) {
        // The form moves the list where it belongs; until then it may stay empty.
    }
}

void DirList::SetPath(const std::string& path) {
    const std::string before = path_;
    if (IsBareDrive(path)) {
        const wchar_t letter = UpperLetter(path[0]);
        const auto last = lastOnDrive_.find(letter);
        bool shown = false;
        if (last != lastOnDrive_.end()) {
            try {
                Show(last->second);
                shown = true;
            } catch (const toolkit::RuntimeError&) {
                // Gone since: the drive's root then.
            }
        }
        if (!shown) Show(Narrow(Root(letter)));
    } else {
        Show(FullFolderPath(path));
    }
    if (!SamePath(before, path_) && onChange) onChange();
}

void DirList::Show(const std::string& folder) {
    const std::wstring wide = Widen(folder);
    CheckFolder(wide);
    const std::vector<std::wstring> subfolders = Entries(wide, L"*", Kind::Folders);

    // The root, each folder down to this one, then its subfolders one level further in.
    const wchar_t* afterRoot = PathSkipRootW(wide.c_str());
    const size_t rootLength =
        afterRoot != nullptr ? static_cast<size_t>(afterRoot - wide.c_str()) : wide.size();
    std::wstring root = wide.substr(0, rootLength);
    if (root.size() >= 2 && root[1] == L':') root[0] = static_cast<wchar_t>(std::towlower(root[0]));
    std::vector<std::wstring> items{root};
    std::vector<std::string> paths{Narrow(wide.substr(0, rootLength))};
    size_t depth = 0;
    for (size_t start = rootLength; start < wide.size();) {
        size_t end = wide.find(L'\\', start);
        if (end == std::wstring::npos) end = wide.size();
        ++depth;
        items.push_back(std::wstring(depth * kIndent, L' ') + wide.substr(start, end - start));
        paths.push_back(Narrow(wide.substr(0, end)));
        start = end + 1;
    }
    const size_t current = items.size() - 1;
    for (const std::wstring& name : subfolders) {
        items.push_back(std::wstring((depth + 1) * kIndent, L' ') + name);
        paths.push_back(Narrow(Join(wide, name)));
    }

    FillListBox(hwnd_, items);
    SendMessageW(hwnd_, LB_SETCURSEL, current, 0);
    itemPaths_ = std::move(paths);
    path_ = folder;
    if (folder.size() >= 2 && folder[1] == ':') lastOnDrive_[UpperLetter(folder[0])] = folder;
}

void DirList::OnCommand(WORD code) {
    if (code != LBN_DBLCLK) return;
    const LRESULT index = SendMessageW(hwnd_, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR || static_cast<size_t>(index) >= itemPaths_.size()) return;
    try {
        SetPath(itemPaths_[static_cast<size_t>(index)]);
    } catch (const toolkit::RuntimeError&) {
        // The list stays on its folder, the highlight too.
        const auto current = std::find(itemPaths_.begin(), itemPaths_.end(), path_);
        if (current != itemPaths_.end())
            SendMessageW(hwnd_, LB_SETCURSEL, static_cast<WPARAM>(current - itemPaths_.begin()), 0);
        throw;
    }
}

// File list.

void FileList::Open(HWND list, const std::string& folder, const std::string& pattern) {
    Attach(list);
    pattern_ = pattern;
    try {
        Fill(FullFolderPath(folder), pattern);
    } catch (const toolkit::RuntimeError&) {
        // The form moves the list where it belongs; until then it may stay empty.
    }
}

void FileList::SetPath(const std::string& path) {
    Fill(FullFolderPath(path), pattern_);
}

void FileList::Fill(const std::string& folder, const std::string& pattern) {
    const std::wstring wide = Widen(folder);
    CheckFolder(wide);
    const std::vector<std::wstring> files = Entries(wide, Widen(pattern), Kind::Files);
    FillListBox(hwnd_, files);
    names_.clear();
    for (const std::wstring& name : files) names_.push_back(Narrow(name));
    path_ = folder;
    pattern_ = pattern;
}

std::string FileList::FileName() const {
    const LRESULT caret = SendMessageW(hwnd_, LB_GETCARETINDEX, 0, 0);
    if (caret < 0 || caret >= ListCount()) return {};
    if (SendMessageW(hwnd_, LB_GETSEL, static_cast<WPARAM>(caret), 0) <= 0) return {};
    return names_[static_cast<size_t>(caret)];
}

std::string FileList::List(int index) const {
    CheckIndex(index);
    return names_[static_cast<size_t>(index)];
}

bool FileList::Selected(int index) const {
    CheckIndex(index);
    return SendMessageW(hwnd_, LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
}

void FileList::CheckIndex(int index) const {
    if (index < 0 || index >= ListCount())
        throw toolkit::VellumError(toolkit::kErrInvalidPropertyIndex,
                                   "Invalid property array index");
}

}  // namespace vellum::win32
