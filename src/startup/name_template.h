#pragma once

// The name of a PDF saved without asking, made from the autoName template.

#include <string>
#include <vector>

#include "toolkit/session.h"

namespace vellum::startup {

// What the template's tokens stand for.
struct NameFacts {
    std::string title;     // the document's name
    std::string user;      // who printed it
    std::string printer;   // REDMON_PRINTER
    std::string computer;  // COMPUTERNAME
    toolkit::LocalTime now;
};

struct TemplateName {
    std::string name;                  // without ".pdf"
    std::vector<std::string> unknown;  // tokens the template names that stand for nothing
};

// `pattern` with <title> (the document's name by the name rules), <user>, <date> (yyyy-mm-dd),
// <time> (hh-mm-ss), <printer> and <computer> replaced, in any case; other text, unknown tokens
// among it, is kept. The whole then goes through the name rules (PdfNameFor, for `folder`);
// nothing left gives "Vellum <date> <time>".
TemplateName NameFromTemplate(const std::string& pattern, const NameFacts& facts,
                              const std::string& folder);

}  // namespace vellum::startup
