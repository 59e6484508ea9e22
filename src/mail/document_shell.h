#pragma once

#include <string>

namespace vellum::mail {

// Opens a document with the program associated with its type. What comes of it is not
// reported: with no associated program nothing happens.
class DocumentShell {
public:
    virtual ~DocumentShell() = default;
    virtual void Open(const std::string& path) = 0;
};

}  // namespace vellum::mail
