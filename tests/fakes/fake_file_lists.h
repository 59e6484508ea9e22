#pragma once

// The drive, directory and file lists over an in-memory machine: a set of drives and the folders
// that can be read. Setting a value fires onChange as the real lists do, and every assignment is
// recorded so that tests can check the chain of events.

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "toolkit/file_lists.h"
#include "toolkit/runtime_error.h"

#include "fakes/fake_controls.h"

namespace vellum {

using toolkit::RuntimeError;

class FakeDriveList : public FakeControl<toolkit::DriveList> {
public:
    explicit FakeDriveList(std::vector<std::string>& sharedLog) : log(sharedLog) {}
    std::string Drive() const override { return drive; }
    void SetDrive(const std::string& value) override {
        log.push_back("drive=" + value);
        const char letter = value.empty() ? '\0' : static_cast<char>(std::tolower(value[0]));
        if (!drives.count(letter))
            throw RuntimeError(toolkit::kErrDeviceUnavailable, "Vellum", "Device unavailable");
        const std::string next = std::string(1, letter) + ":";
        if (next == drive) return;
        drive = next;
        if (onChange) onChange();
    }

    std::set<char> drives{'c', 'd'};
    std::string drive = "c:";
    std::vector<std::string>& log;
};

class FakeDirList : public FakeControl<toolkit::DirList> {
public:
    explicit FakeDirList(std::vector<std::string>& sharedLog) : log(sharedLog) {}
    std::string Path() const override { return path; }
    void SetPath(const std::string& value) override {
        log.push_back("dir=" + value);
        // A bare drive opens its root, as far as these tests care.
        std::string next =
            value.size() >= 2 && value[1] == ':' && (value.size() == 2 || value[2] == ' ')
                ? std::string(1, static_cast<char>(std::toupper(value[0]))) + ":\\"
                : value;
        if (unreadable.count(next))
            throw RuntimeError(toolkit::kErrPathNotFound, "Vellum", "Path not found");
        if (next == path) return;
        path = next;
        if (onChange) onChange();
    }

    std::string path = "C:\\";
    std::set<std::string> unreadable;
    std::vector<std::string>& log;
};

class FakeFileList : public FakeControl<toolkit::FileList> {
public:
    explicit FakeFileList(std::vector<std::string>& sharedLog) : log(sharedLog) {}
    std::string Path() const override { return path; }
    void SetPath(const std::string& value) override {
        log.push_back("file=" + value);
        if (unreadable.count(value))
            throw RuntimeError(toolkit::kErrPathNotFound, "Vellum", "Path not found");
        path = value;
    }
    std::string FileName() const override {
        return current >= 0 && current < ListCount() ? entries[static_cast<size_t>(current)] : "";
    }
    int ListCount() const override { return static_cast<int>(entries.size()); }
    std::string List(int index) const override {
        CheckIndex(index);
        return entries[static_cast<size_t>(index)];
    }
    bool Selected(int index) const override {
        CheckIndex(index);
        return std::find(selected.begin(), selected.end(), index) != selected.end();
    }

    std::string path = "C:\\";
    std::vector<std::string> entries;
    std::vector<int> selected;  // in the order the user clicked them
    int current = -1;
    std::set<std::string> unreadable;
    std::vector<std::string>& log;

private:
    void CheckIndex(int index) const {
        if (index < 0 || index >= ListCount())
            throw RuntimeError(toolkit::kErrInvalidPropertyIndex, "Vellum",
                               "Invalid property array index");
    }
};

}  // namespace vellum
