#pragma once

#include "startup/pdf_viewer.h"

namespace vellum::win32 {

// The "open" verb of the file's type, through ShellExecuteExW.
class PdfViewer : public startup::PdfViewer {
public:
    std::string Open(const std::string& path) override;
};

}  // namespace vellum::win32
