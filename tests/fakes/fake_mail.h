#pragma once

// Fakes for the mail hand-off and the send-mail window's services.

#include <cstdint>
#include <string>
#include <vector>

#include "mail/document_shell.h"
#include "mail/send_documents.h"
#include "shell/window_helpers.h"
#include "toolkit/controls.h"
#include "toolkit/runtime_error.h"

namespace vellum::mail {

// Records each MAPISendDocuments call and returns `result`, or throws `failure` when set.
class FakeMapi : public MapiLibrary {
public:
    struct Call {
        std::uintptr_t uiParam;
        std::string delimiter;
        std::string paths;
        std::string names;
        std::uint32_t reserved;
    };
    std::uint32_t MAPISendDocuments(std::uintptr_t uiParam, const std::string& delimiter,
                                    const std::string& paths, const std::string& names,
                                    std::uint32_t reserved) override {
        if (missing) throw toolkit::RuntimeError(48, "Vellum", "File not found: MAPI32.DLL");
        calls.push_back({uiParam, delimiter, paths, names, reserved});
        return result;
    }
    std::vector<Call> calls;
    std::uint32_t result = 0;
    bool missing = false;
};

class FakeDocumentShell : public DocumentShell {
public:
    void Open(const std::string& path) override { opened.push_back(path); }
    std::vector<std::string> opened;
};

// Extended styles kept per window handle.
class FakeEdgeWindowApi : public shell::WindowApi {
public:
    std::int32_t GetExStyle(std::uintptr_t) override { return exStyle; }
    void SetExStyle(std::uintptr_t hwnd, std::int32_t style) override {
        styled.push_back(hwnd);
        exStyle = style;
    }
    void FrameChanged(std::uintptr_t) override { ++frameChanges; }
    void AutoComplete(std::uintptr_t, std::uint32_t) override {}
    std::int32_t exStyle = 0;
    std::vector<std::uintptr_t> styled;
    int frameChanges = 0;
};

class FakeButton : public toolkit::CommandButton {
public:
    explicit FakeButton(std::uintptr_t hwnd) : hwnd_(hwnd) {}
    std::uintptr_t Hwnd() const override { return hwnd_; }

private:
    std::uintptr_t hwnd_;
};

}  // namespace vellum::mail
