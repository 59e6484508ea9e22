#pragma once

#include <string>

namespace vellum::startup {

// Shows a finished PDF in the program the user has for PDFs.
class PdfViewer {
public:
    virtual ~PdfViewer() = default;
    // Starts the program registered to open `path`. "" when it was started, else the system's
    // wording of why not. Never throws.
    virtual std::string Open(const std::string& path) = 0;
};

}  // namespace vellum::startup
