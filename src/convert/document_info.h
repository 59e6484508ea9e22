#pragma once

// The document's properties (Title, Author, Creator) written into every PDF. They come from the
// printing application and user, so they reach Ghostscript's PostScript only as hex strings:
// no text can end a string there or run PostScript.

#include <string>

namespace vellum::convert {

struct DocumentInfo {
    std::string title;    // the document's name as the application gave it
    std::string author;   // who printed it
    std::string creator;  // the application, from the job's %%Creator comment
};

// `utf8` as a PostScript hex string of UTF-16BE with its byte-order mark, "<FEFF...>", control
// characters (C0, DEL, C1) left out; a byte that is no UTF-8 becomes U+FFFD.
std::string Utf16HexString(const std::string& utf8);

// The pdfmark that sets the non-empty properties of `info`; "" when all are empty.
std::string DocInfoPdfmark(const DocumentInfo& info);

}  // namespace vellum::convert
