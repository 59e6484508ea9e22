#pragma once

// One open port: collects each document's bytes in a temporary file and, when the document
// ends, runs the port's Command with its Arguments, the document on standard input, and
// waits for it. The command line and the environment are made as RedMon makes them.

#include <windows.h>

#include <string>

#include "toolkit/win32/handles.h"

namespace vellum::testbed {

class PortJob {
public:
    explicit PortJob(std::wstring port) : port_(std::move(port)) {}

    const std::wstring& Port() const { return port_; }

    // Begins a document, dropping any unfinished one; `printer` may be empty and `document`
    // is the name the application gave it. Throws RuntimeError.
    void Start(const std::wstring& printer, DWORD jobId, const std::wstring& document);
    // Appends to the current document, starting one when none is open. Throws RuntimeError.
    void Write(const BYTE* data, DWORD size);
    // Hands the document to the port's command and waits for it; returns its exit code.
    // Throws RuntimeError when the port has no command or the command cannot be started.
    DWORD End();

private:
    std::wstring port_;
    std::wstring printer_;
    DWORD jobId_ = 0;
    std::wstring document_;
    win32::KernelHandle spool_;
};

}  // namespace vellum::testbed
