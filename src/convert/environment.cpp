#include <algorithm>
#include <cctype>

#include "convert/process_runner.h"

namespace vellum::convert {

namespace {

// Variable names compare without regard to case, as Windows compares them.
bool SameName(const std::string& entry, const std::string& name) {
    if (entry.size() <= name.size() || entry[name.size()] != '=') return false;
    return std::equal(name.begin(), name.end(), entry.begin(), [](char a, char b) {
        return std::toupper(static_cast<unsigned char>(a)) ==
               std::toupper(static_cast<unsigned char>(b));
    });
}

}  // namespace

std::vector<std::string> WithVariables(const std::vector<std::string>& block,
                                       const Environment& variables) {
    std::vector<std::string> result = block;
    for (const auto& [name, value] : variables) {
        bool replaced = false;
        for (std::string& entry : result) {
            if (entry.empty() || entry[0] == '=' || !SameName(entry, name)) continue;
            entry = name + "=" + value;
            replaced = true;
        }
        if (!replaced) result.push_back(name + "=" + value);
    }
    return result;
}

}  // namespace vellum::convert
