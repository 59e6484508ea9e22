#include "startup/name_template.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "startup/document_name.h"

namespace vellum::startup {

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string Date(const toolkit::LocalTime& t) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", t.year, t.month, t.day);
    return text;
}

std::string Time(const toolkit::LocalTime& t) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d-%02d-%02d", t.hour, t.minute, t.second);
    return text;
}

}  // namespace

TemplateName NameFromTemplate(const std::string& pattern, const NameFacts& facts,
                              const std::string& folder) {
    const std::pair<const char*, std::string> tokens[] = {
        {"<title>", PdfNameFor(facts.title, "")},
        {"<user>", facts.user},
        {"<date>", Date(facts.now)},
        {"<time>", Time(facts.now)},
        {"<printer>", facts.printer},
        {"<computer>", facts.computer},
    };
    TemplateName result;
    std::string text;
    for (size_t i = 0; i < pattern.size();) {
        const size_t close = pattern[i] == '<' ? pattern.find('>', i) : std::string::npos;
        if (close == std::string::npos) {
            text += pattern[i++];
            continue;
        }
        const std::string token = pattern.substr(i, close - i + 1);
        const auto known = std::find_if(std::begin(tokens), std::end(tokens),
                                        [&](const auto& t) { return Lower(token) == t.first; });
        if (known == std::end(tokens)) {
            result.unknown.push_back(token);
            text += token;
        } else {
            text += known->second;
        }
        i = close + 1;
    }
    result.name = PdfNameFor(text, folder);
    if (result.name.empty()) result.name = "Vellum " + Date(facts.now) + " " + Time(facts.now);
    return result;
}

}  // namespace vellum::startup
