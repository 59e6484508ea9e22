#pragma once

#include <string>
#include <vector>

#include "mail/document_shell.h"

namespace vellum {

// Records the documents it was asked to open.
class FakeDocumentShell : public mail::DocumentShell {
public:
    void Open(const std::string& path) override { opened.push_back(path); }
    std::vector<std::string> opened;
};

}  // namespace vellum
