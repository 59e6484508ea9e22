#pragma once

#include <string>

namespace vellum::toolkit {

// How a run of this program with an administrator's rights ended.
struct ElevatedRun {
    enum class State {
        Finished,  // it ran; exitCode says how it went
        Declined,  // the user (or policy) said no at Windows' elevation prompt
        Failed,    // it could not be started; error says why
    };
    State state = State::Failed;
    int exitCode = 0;
    std::string error;
};

// Runs this program again with an administrator's rights, for work only they may do.
class Elevation {
public:
    virtual ~Elevation() = default;
    // True when the process already has an administrator's rights. Never throws.
    virtual bool IsElevated() = 0;
    // Starts this program elevated with `parameters` as its command line and waits for it.
    virtual ElevatedRun RunElevated(const std::string& parameters) = 0;
};

}  // namespace vellum::toolkit
