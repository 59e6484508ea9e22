#pragma once

#include <map>
#include <string>
#include <vector>

#include "shell/folder_browser.h"
#include "shell/window_helpers.h"
#include "toolkit/program.h"
#include "toolkit/runtime_error.h"

namespace vellum {

// Extended styles per handle, and the order of the calls made.
class FakeWindowApi : public shell::WindowApi {
public:
    std::int32_t GetExStyle(std::uintptr_t hwnd) override { return styles[hwnd]; }
    void SetExStyle(std::uintptr_t hwnd, std::int32_t style) override { styles[hwnd] = style; }
    void FrameChanged(std::uintptr_t hwnd) override { framesChanged.push_back(hwnd); }
    void AutoComplete(std::uintptr_t hwnd, std::uint32_t flags) override {
        if (!autoCompleteAvailable)
            throw toolkit::RuntimeError(453, "Vellum", "Can't find DLL entry point SHAutoComplete");
        completions.push_back({hwnd, flags});
    }

    std::map<std::uintptr_t, std::int32_t> styles;
    std::vector<std::uintptr_t> framesChanged;
    std::vector<std::pair<std::uintptr_t, std::uint32_t>> completions;
    bool autoCompleteAvailable = true;
};

class FakeFolderBrowser : public shell::FolderBrowser {
public:
    struct Call {
        std::uintptr_t owner;
        std::string title, initialPath;
    };
    std::string BrowseForFolder(std::uintptr_t owner, const std::string& title,
                                const std::string& initialPath) override {
        calls.push_back({owner, title, initialPath});
        return answer;
    }
    std::string answer;  // "" is a cancel
    std::vector<Call> calls;
};

class FakeProgram : public toolkit::Program {
public:
    void End() override { ++ended; }
    int ended = 0;
};

}  // namespace vellum
