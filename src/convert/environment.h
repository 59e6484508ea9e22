#pragma once

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace vellum::convert {

// `block` (one "NAME=value" per entry, as the system hands it over, in narrow or wide
// characters) with `variables` set: an entry whose name matches one of them, without regard to
// the case of its letters, takes the new value in place; the others are added at the end.
// Entries that start with "=" (the drives' current folders) are never matched.
template <typename String>
std::vector<String> WithVariables(const std::vector<String>& block,
                                  const std::vector<std::pair<String, String>>& variables) {
    using Char = typename String::value_type;
    const auto upper = [](Char c) { return c >= 'a' && c <= 'z' ? static_cast<Char>(c - 32) : c; };
    const auto named = [&](const String& entry, const String& name) {
        return !entry.empty() && entry[0] != '=' && entry.size() > name.size() &&
               entry[name.size()] == '=' &&
               std::equal(name.begin(), name.end(), entry.begin(),
                          [&](Char a, Char b) { return upper(a) == upper(b); });
    };
    std::vector<String> result = block;
    for (const auto& [name, value] : variables) {
        String entry = name;
        entry += static_cast<Char>('=');
        entry += value;
        bool replaced = false;
        for (String& existing : result) {
            if (!named(existing, name)) continue;
            existing = entry;
            replaced = true;
        }
        if (!replaced) result.push_back(entry);
    }
    return result;
}

}  // namespace vellum::convert
