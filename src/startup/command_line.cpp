#include "startup/command_line.h"

namespace vellum::startup {

std::string CommandTail(const std::string& full) {
    size_t i = 0;
    if (i < full.size() && full[i] == '"') {
        const size_t close = full.find('"', 1);
        i = close == std::string::npos ? full.size() : close + 1;
    }
    while (i < full.size() && full[i] != ' ' && full[i] != '\t') ++i;
    while (i < full.size() && (full[i] == ' ' || full[i] == '\t')) ++i;
    return full.substr(i);
}

std::string StripQuotes(const std::string& tail) {
    std::string path;
    path.reserve(tail.size());
    for (char c : tail)
        if (c != '"') path += c;
    return path;
}

Mode ChooseMode(const std::string& tail) {
    if (tail.empty()) return Mode::Configure;
    const std::string word = StripQuotes(tail);
    if (word == "-config") return Mode::Configure;
    if (word == "-mail") return Mode::Mail;
    return Mode::Convert;
}

}  // namespace vellum::startup
