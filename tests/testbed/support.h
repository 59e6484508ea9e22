#pragma once

// What the test-rig tests share: where the built programs are, scratch folders, files and
// environment variables that restore themselves.

#include <windows.h>

#include <string>

namespace vellum::testbed {

// The folder of this test program, which is <build>\bin, with a trailing backslash.
std::wstring BinFolder();

std::string FileText(const std::wstring& path);

// A new empty folder under %TEMP% whose name has a space in it; deleted with its contents.
class ScratchFolder {
public:
    ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder();
    // The folder with a trailing backslash.
    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
};

// Sets (or, with nullptr, removes) an environment variable for the owner's lifetime.
class ScopedEnvironment {
public:
    ScopedEnvironment(const wchar_t* name, const wchar_t* value);
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment();

private:
    std::wstring name_;
    std::wstring old_;
    bool hadOld_ = false;
};

}  // namespace vellum::testbed
