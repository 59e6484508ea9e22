#pragma once

// The drive, directory and file lists: a window picks a drive, opens a folder on it and sees
// the files of that folder that match a pattern. The drive and directory lists tell their
// owner about a new value through onChange, whoever set it (the user or the program), so that
// one list can follow another.

#include <functional>
#include <string>

#include "toolkit/controls.h"

namespace vellum::toolkit {

// Numbers and texts of the lists' failures, as the platform words them.
inline constexpr std::int32_t kErrDeviceUnavailable = 68;
inline constexpr std::int32_t kErrPathFileAccess = 75;
inline constexpr std::int32_t kErrPathNotFound = 76;
inline constexpr std::int32_t kErrInvalidPropertyIndex = 381;

// The machine's drives, one of which is current.
class DriveList : public Control {
public:
    // The current drive as shown: the drive letter and a colon, maybe more ("c: [System]").
    virtual std::string Drive() const = 0;
    // Makes the drive named by the first letter of `drive` current and calls onChange when it
    // differs from the current one. Throws RuntimeError kErrDeviceUnavailable, and stays where
    // it was, when the machine has no such drive.
    virtual void SetDrive(const std::string& drive) = 0;

    std::function<void()> onChange;
};

// The folders of one drive, opened down to the current folder.
class DirList : public Control {
public:
    // The current folder's full path; a root ends with "\" ("C:\"), other folders do not.
    virtual std::string Path() const = 0;
    // Opens the folder and calls onChange when it differs from the current one. A bare drive
    // ("D:", or a drive list's "d: [label]") opens the folder last open on that drive, or its
    // root. Throws RuntimeError, and stays where it was, when the folder cannot be read.
    virtual void SetPath(const std::string& path) = 0;

    std::function<void()> onChange;
};

// The files of one folder that match a pattern, sorted by name; several can be selected.
class FileList : public Control {
public:
    // The listed folder; a root ends with "\", other folders do not.
    virtual std::string Path() const = 0;
    // Lists the folder's files. Throws RuntimeError, and keeps the old list, when the folder
    // cannot be read.
    virtual void SetPath(const std::string& path) = 0;
    // The name of the current entry, or "" when there is none.
    virtual std::string FileName() const = 0;
    virtual int ListCount() const = 0;
    // Entry i counted from 0; throws RuntimeError kErrInvalidPropertyIndex outside the list.
    virtual std::string List(int index) const = 0;
    virtual bool Selected(int index) const = 0;
};

}  // namespace vellum::toolkit
