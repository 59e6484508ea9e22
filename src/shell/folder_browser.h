#pragma once

#include <cstdint>
#include <string>

namespace vellum::shell {

// The shell's folder dialog, modal to `owner`, opening on `initialPath`, with the selected
// folder's path in its status line. Returns the chosen folder's path, or "" on cancel.
class FolderBrowser {
public:
    virtual ~FolderBrowser() = default;
    virtual std::string BrowseForFolder(std::uintptr_t owner, const std::string& title,
                                        const std::string& initialPath) = 0;
};

}  // namespace vellum::shell
