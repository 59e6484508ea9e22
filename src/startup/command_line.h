#pragma once

#include <string>
#include <vector>

namespace vellum::startup {

enum class Mode { Configure, Mail, Convert };

// The text after the program's name in a full command line, leading blanks and tabs skipped:
// what the program receives as its command line. Windows hands a program its line exactly as
// the parent wrote it, so the name is found as a parent may have written it: in quotes (it
// ends at the closing quote); unquoted but starting with one of `ownPaths` (this program's
// full path, long or short form, compared without regard to case) followed by a blank or the
// end; otherwise up to the first blank or tab.
std::string CommandTail(const std::string& fullCommandLine,
                        const std::vector<std::string>& ownPaths = {});

// The tail with every double quote removed (RedRun passes the job file as "%1").
std::string StripQuotes(const std::string& tail);

// The job file named by the tail: quotes removed, then surrounding blanks and tabs trimmed,
// so that an empty argument before the path (`"" "C:\job"`, from ports bound by earlier
// versions) still names the job.
std::string JobPathOf(const std::string& tail);

// Empty tail: configure; "-config" and "-mail" in any letter case (after quotes are removed)
// pick their modes, since "-CONFIG" taken as a job would convert nothing; anything else, even
// a tail made only of quotes, is a job path.
Mode ChooseMode(const std::string& tail);

}  // namespace vellum::startup
