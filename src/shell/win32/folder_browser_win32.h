#pragma once

#include <string>

#include "shell/folder_browser.h"

namespace vellum::win32 {

// The folder the next dialog opens on, followed by one NUL; kept until the next call.
extern std::string browseInitialPath;

// SHBrowseForFolderA with the selected folder's path in the status line.
class FolderBrowser : public shell::FolderBrowser {
public:
    std::string BrowseForFolder(std::uintptr_t owner, const std::string& title,
                                const std::string& initialPath) override;
};

}  // namespace vellum::win32
