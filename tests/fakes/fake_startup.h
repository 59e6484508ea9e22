#pragma once

// Fakes for what start-up reaches: the two windows, the process runner, the mail library and
// the event pump.

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "config/config_window.h"
#include "convert/process_runner.h"
#include "convert/progress.h"
#include "fakes/fake_controls.h"
#include "mail/send_documents.h"
#include "mail/send_mail_window.h"
#include "startup/main.h"
#include "toolkit/elevation.h"
#include "toolkit/session.h"

namespace vellum {

// Logs what start-up asks of the configuration window, in order.
class FakeConfigWindow : public config::ConfigWindow {
public:
    FakeConfigWindow() : dlg(dialogs, "Save As") {}
    void Show() override { Load("show"); }
    void SelectTab(config::ConfigTab tab) override {
        Load("tab " + std::to_string(static_cast<int>(tab)));
    }
    void Focus(config::ConfigField field) override {
        Load("focus " + std::to_string(static_cast<int>(field)));
    }
    toolkit::CommonDialog& Dlg() override {
        Load("dlg");
        return dlg;
    }
    // Plays the user: `whileHeld` runs as the user's work in the window (fixing the stored
    // settings, say), then the next of `outcomes` closes it (Closed when none is left).
    config::ConfigOutcome HoldUntilClosed(const std::string& document,
                                          toolkit::MsgBox& msgBox) override {
        Load(document.empty() ? "hold" : "hold " + document);
        heldWith = &msgBox;
        if (whileHeld) whileHeld();
        if (outcomes.empty()) return config::ConfigOutcome::Closed;
        const config::ConfigOutcome outcome = outcomes.front();
        outcomes.erase(outcomes.begin());
        return outcome;
    }

    std::vector<std::string> log;
    std::function<void()> whileHeld;
    toolkit::MsgBox* heldWith = nullptr;  // the box the window reported through while held
    std::vector<config::ConfigOutcome> outcomes;
    bool failLoad = false;
    FakeFileDialogs dialogs;
    toolkit::CommonDialog dlg;

private:
    void Load(const std::string& what) {
        if (failLoad)
            throw toolkit::RuntimeError(429, "Vellum",
                                        "The registry component could not be created.");
        log.push_back(what);
    }
};

class FakeSendMailWindow : public mail::SendMailWindow {
public:
    void Show() override { ++shown; }
    int shown = 0;
};

// The file a Ghostscript command line writes: the value of its -sOutputFile="..." as
// Ghostscript reads it.
inline std::string OutputFileOf(const std::string& commandLine) {
    const std::string key = "-sOutputFile=\"";
    const size_t start = commandLine.find(key);
    if (start == std::string::npos) return {};
    const size_t from = start + key.size();
    const std::string literal = commandLine.substr(from, commandLine.find('"', from) - from);
    std::string path;  // Ghostscript's "%%" is one "%"
    for (size_t i = 0; i < literal.size(); ++i) {
        path += literal[i];
        if (literal[i] == '%' && i + 1 < literal.size() && literal[i + 1] == '%') ++i;
    }
    return path;
}

// Runs nothing: `onRun` plays the process's part (writing its output), then the observer is
// asked at each of `waits` in turn, as the real wait asks it while the process runs.
class FakeProcessRunner : public convert::ProcessRunner {
public:
    convert::ProcessResult RunAndWait(const std::string& commandLine, int showWindow,
                                      const convert::RunOptions& options) override {
        commandLines.push_back(commandLine);
        showWindows.push_back(showWindow);
        environments.push_back(options.environment);
        if (onRun && result.started) onRun(commandLine);
        convert::ProcessResult outcome = result;
        for (std::chrono::milliseconds elapsed : waits) {
            if (options.observer && options.observer->WantsEnd(elapsed)) {
                outcome.cancelled = true;
                ++ended;
                break;
            }
        }
        return outcome;
    }
    convert::ProcessResult result{true, 0, "", ""};
    std::function<void(const std::string& commandLine)> onRun;
    std::vector<std::chrono::milliseconds> waits;
    std::vector<std::string> commandLines;
    std::vector<int> showWindows;
    std::vector<convert::Environment> environments;
    int ended = 0;
};

class FakeProgressWindow : public convert::ProgressWindow {
public:
    void Open(const std::string& pdfPath) override { log.push_back("open " + pdfPath); }
    void ShowTime(const std::string& elapsed) override { log.push_back("time " + elapsed); }
    bool CancelRequested() override { return cancelAt != 0 && log.size() >= cancelAt; }
    void Close() override { log.push_back("close"); }
    std::vector<std::string> log;
    size_t cancelAt = 0;  // the user presses Cancel once the log holds this many entries (0: never)
};

class FakeMapi : public mail::MapiLibrary {
public:
    struct Call {
        std::uintptr_t uiParam;
        std::string delimiter, paths, names;
        std::uint32_t reserved;
        bool operator==(const Call&) const = default;
    };
    std::uint32_t MAPISendDocuments(std::uintptr_t uiParam, const std::string& delimiter,
                                    const std::string& paths, const std::string& names,
                                    std::uint32_t reserved) override {
        if (failure) throw *failure;
        calls.push_back({uiParam, delimiter, paths, names, reserved});
        return result;
    }
    std::vector<Call> calls;
    std::uint32_t result = 0;
    std::optional<toolkit::RuntimeError> failure;  // a missing library or entry point
};

class FakeProcessEnvironment : public toolkit::ProcessEnvironment {
public:
    std::optional<std::string> Variable(const std::string& name) override {
        const auto found = variables.find(name);
        if (found == variables.end()) return std::nullopt;
        return found->second;
    }
    std::map<std::string, std::string> variables;
};

class FakeSession : public toolkit::Session {
public:
    bool CanShowWindows() override { return visible; }
    std::string UserName() override { return user; }
    toolkit::LocalTime Now() override { return now; }
    double Seconds() override { return seconds += 1.5; }
    bool visible = true;
    std::string user = "SYSTEM";
    toolkit::LocalTime now{2026, 3, 4, 5, 6, 7};
    double seconds = 0;
};

// Plays Windows' elevation prompt: each run is recorded and ends as `run` says.
class FakeElevation : public toolkit::Elevation {
public:
    bool IsElevated() override { return elevated; }
    toolkit::ElevatedRun RunElevated(const std::string& parameters) override {
        runs.push_back(parameters);
        if (onRun) onRun(parameters);
        return run;
    }
    bool elevated = false;
    toolkit::ElevatedRun run{toolkit::ElevatedRun::State::Finished, 0, ""};
    std::function<void(const std::string&)> onRun;
    std::vector<std::string> runs;
};

// Records the PDFs it is asked to show; `failure` is the system's wording of a failed start.
class FakePdfViewer : public startup::PdfViewer {
public:
    std::string Open(const std::string& path) override {
        opened.push_back(path);
        return failure;
    }
    std::vector<std::string> opened;
    std::string failure;
};

class FakeEventPump : public startup::EventPump {
public:
    void DoEvents() override { ++pumped; }
    int pumped = 0;
};

}  // namespace vellum
