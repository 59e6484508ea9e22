#include "startup/command_line.h"

#include <algorithm>

namespace vellum::startup {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithPath(const std::string& line, const std::string& path) {
    if (path.empty() || line.size() < path.size()) return false;
    if (!std::equal(path.begin(), path.end(), line.begin(),
                    [](char a, char b) { return Lower(a) == Lower(b); }))
        return false;
    return line.size() == path.size() || IsBlank(line[path.size()]);
}

// Where the program's name ends.
size_t NameEnd(const std::string& line, const std::vector<std::string>& ownPaths) {
    if (!line.empty() && line[0] == '"') {
        const size_t close = line.find('"', 1);
        return close == std::string::npos ? line.size() : close + 1;
    }
    for (const std::string& path : ownPaths)
        if (StartsWithPath(line, path)) return path.size();
    size_t i = 0;
    while (i < line.size() && !IsBlank(line[i])) ++i;
    return i;
}

}  // namespace

std::string CommandTail(const std::string& full, const std::vector<std::string>& ownPaths) {
    size_t i = NameEnd(full, ownPaths);
    while (i < full.size() && IsBlank(full[i])) ++i;
    return full.substr(i);
}

std::string StripQuotes(const std::string& tail) {
    std::string path;
    path.reserve(tail.size());
    for (char c : tail)
        if (c != '"') path += c;
    return path;
}

std::string JobPathOf(const std::string& tail) {
    const std::string path = StripQuotes(tail);
    const size_t first = path.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const size_t last = path.find_last_not_of(" \t");
    return path.substr(first, last - first + 1);
}

Mode ChooseMode(const std::string& tail) {
    if (tail.empty()) return Mode::Configure;
    std::string word = StripQuotes(tail);
    std::transform(word.begin(), word.end(), word.begin(), Lower);
    if (word == "-config") return Mode::Configure;
    if (word == "-mail") return Mode::Mail;
    return Mode::Convert;
}

}  // namespace vellum::startup
