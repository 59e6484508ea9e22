#pragma once

#include "mail/document_shell.h"

namespace vellum::win32 {

// ShellExecuteA with the file type's default action.
class DocumentShell : public mail::DocumentShell {
public:
    void Open(const std::string& path) override;
};

}  // namespace vellum::win32
