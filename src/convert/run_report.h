#pragma once

#include <cstdint>
#include <string>

namespace vellum::convert {

// The last lines of a program's output, at most `maxLines` lines and about `maxChars`
// characters, line breaks as CRLF, with what a message box cannot show dropped (PrintableText).
std::string OutputTail(const std::string& output, size_t maxLines = 20, size_t maxChars = 2000);

// `text` with every byte that is no printable UTF-8 dropped: control characters other than
// tab, CR and LF, DEL and the C1 controls, and bytes that form no valid UTF-8 sequence (a job's
// binary data echoed by Ghostscript).
std::string PrintableText(const std::string& text);

// An exit code as a person looks it up: decimal, or as hexadecimal "0xC0000005" for the status
// codes of an abnormal end (0xC0000000 and above).
std::string ExitCodeText(std::uint32_t exitCode);

// The system's wording of an abnormal end made readable for a message: sentences with inserts
// that no one filled ("0x%p", "%s", "%1") are left out; where that leaves nothing, the inserts
// read "?" instead.
std::string ReadableStatusWording(const std::string& wording);

// The line of Ghostscript's output that says what went wrong: the first that begins "Error:",
// else the last one that is not blank; "" when there is none.
std::string GhostscriptErrorLine(const std::string& output);

// True when Ghostscript's output says that a write failed for lack of room on the disk.
bool SaysDiskFull(const std::string& output);

}  // namespace vellum::convert
