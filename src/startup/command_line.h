#pragma once

#include <string>

namespace vellum::startup {

enum class Mode { Configure, Mail, Convert };

// The text after the program's name in a full Windows command line, leading blanks skipped:
// what the program receives as its command line. The name may be quoted.
std::string CommandTail(const std::string& fullCommandLine);

// The tail with every double quote removed (RedRun passes the job file as "%1").
std::string StripQuotes(const std::string& tail);

// Empty tail: configure; "-config" and "-mail" (exact case, after quotes are removed) pick
// their modes; anything else, even a tail made only of quotes, is a job path.
Mode ChooseMode(const std::string& tail);

}  // namespace vellum::startup
