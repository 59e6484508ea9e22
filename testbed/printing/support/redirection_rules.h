#pragma once

// How RedMon and RedRun, as measured, turn a port's settings into the command lines they
// start. Portable, so that the stand-ins follow one reading and a table of cases pins it down.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace vellum::testbed {

// What RedMon knows of a job when it starts the port's command.
struct JobFacts {
    std::wstring fileName;  // %1: the file name RedMon prompted for; empty unless it prompted
    std::wstring document;  // %d, %b: the document's name as the application gave it
    std::wstring user;      // %u
    std::uint32_t pipeHandle = 0xFFFFFFFF;  // %h: no printer pipe unless the port asks for one
};

// RedMon builds the line in 1024 characters, its terminator included.
inline constexpr std::size_t kRedMonLineLimit = 1023;

// RedMon's command line for a port: `"<command>" ` and then `arguments` with %1, %d, %b, %u,
// %h and %% (a single %) replaced. %d leaves out <>"|/\?*: and %u leaves out <>"|/\: from
// their texts. A replacement that would reach the limit is not made (the two characters stay
// as they are) and the line ends at the limit. Every other % stays.
std::wstring RedMonCommandLine(const std::wstring& command, const std::wstring& arguments,
                               const JobFacts& job);

// %b: the document's name after its last slash or backslash, without <>"|/\?*:, up to the
// first dot.
std::wstring RedMonBaseName(const std::wstring& document);

// RedRun's arguments: its command line after its own name (which ends at a blank outside
// quotes) and the blanks that follow. Only blanks separate, never tabs.
std::wstring RedRunTail(const std::wstring& commandLine);

// The line RedRun starts: `tail` with every argument that is exactly %1 replaced by the job
// file's path in quotes, or, when no argument is, ` "<path>"` appended. An argument ends at a
// blank outside quotes and keeps its quotes, so "%1" is not %1.
std::wstring RedRunCommandLine(const std::wstring& tail, const std::wstring& jobPath);

// Where CreateProcess finds a name (with ".exe" appended when it has no extension): the full
// path of the file it names, empty when there is none (a folder is none).
using FindProgram = std::function<std::wstring(const std::wstring& name)>;

// The program Windows' CreateProcess runs for `commandLine` when it is given no application
// name, as its documentation lays out: the text between the quotes when the line starts with
// one; otherwise the shortest prefix ending at a blank or tab (or the whole line) that names a
// file, so "C:\Program Files\X\x.exe a" runs C:\Program.exe when that exists. Empty when
// nothing is found. The line itself reaches the program unchanged either way.
std::wstring ProgramOfCommandLine(const std::wstring& commandLine, const FindProgram& find);

}  // namespace vellum::testbed
