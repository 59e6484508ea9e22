#pragma once

// The drive, directory and file lists over a drop-down combo box and two list boxes. The form
// creates the child windows, attaches them with Open, and passes each one's WM_COMMAND
// notifications to OnCommand.

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "toolkit/file_lists.h"
#include "toolkit/win32/controls_win32.h"

namespace vellum::win32 {

// The machine's drives (GetLogicalDriveStrings); each shown as "c:" or "c: [label]".
class DriveList : public Control<toolkit::DriveList> {
public:
    // Lists the drives and makes the drive of `folder` current, without onChange.
    void Open(HWND combo, const std::string& folder);
    std::string Drive() const override;
    void SetDrive(const std::string& drive) override;
    // The user's pick counts once the drop-down is closed.
    void OnCommand(WORD code);

private:
    struct Entry {
        wchar_t letter;
        std::string text;
    };
    void Fill();
    int IndexOf(wchar_t letter) const;
    void MakeCurrent(int index);

    std::vector<Entry> drives_;
    int current_ = -1;
};

// The folders of one drive opened down to the current folder: its ancestors, the folder, then
// its subfolders, each indented by its depth. A double click opens a folder.
class DirList : public Control<toolkit::DirList> {
public:
    // Opens `folder` without onChange; a folder that cannot be read leaves the list empty.
    void Open(HWND list, const std::string& folder);
    std::string Path() const override { return path_; }
    void SetPath(const std::string& path) override;
    // LBN_DBLCLK opens the folder under the caret; throws RuntimeError when it cannot be read.
    void OnCommand(WORD code);

private:
    void Show(const std::string& folder);

    std::string path_;
    std::vector<std::string> itemPaths_;
    std::map<wchar_t, std::string> lastOnDrive_;  // where a bare drive opens
};

// The ordinary files of one folder matching the pattern, sorted by name; Shift and Ctrl select
// several.
class FileList : public Control<toolkit::FileList> {
public:
    // Lists `folder` without failing: a folder that cannot be read leaves the list empty.
    void Open(HWND list, const std::string& folder, const std::string& pattern);
    std::string Path() const override { return path_; }
    void SetPath(const std::string& path) override;
    std::string FileName() const override;
    int ListCount() const override { return static_cast<int>(names_.size()); }
    std::string List(int index) const override;
    bool Selected(int index) const override;

private:
    void Fill(const std::string& folder, const std::string& pattern);
    void CheckIndex(int index) const;

    std::string path_;
    std::string pattern_ = "*.*";
    std::vector<std::string> names_;
};

// A folder's full path as the lists show it: a bare drive ("d:", "d: [label]") is its root,
// a root ends with "\", other folders do not.
std::string FullFolderPath(const std::string& path);

}  // namespace vellum::win32
