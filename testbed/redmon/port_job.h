#pragma once

// One open port: collects each document's bytes in a temporary file and, when the document
// ends, runs the port's Command with its Arguments, the document on standard input, and
// waits for it, as RedMon does.

#include <windows.h>

#include <string>

#include "toolkit/win32/handles.h"

namespace vellum::testbed {

class PortJob {
public:
    explicit PortJob(std::wstring port) : port_(std::move(port)) {}

    const std::wstring& Port() const { return port_; }

    // Begins a document, dropping any unfinished one. Throws RuntimeError.
    void Start();
    // Appends to the current document, starting one when none is open. Throws RuntimeError.
    void Write(const BYTE* data, DWORD size);
    // Hands the document to the port's command and waits for it; returns its exit code.
    // Throws RuntimeError when the port has no command or the command cannot be started.
    DWORD End();

private:
    std::wstring port_;
    win32::KernelHandle spool_;
};

}  // namespace vellum::testbed
