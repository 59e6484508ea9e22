#include "settings/ghostscript_search.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "toolkit/paths.h"
#include "toolkit/runtime_error.h"

namespace vellum::settings {

using toolkit::FolderOf;
using toolkit::JoinPath;
using toolkit::SameName;
namespace {

std::vector<unsigned long> VersionNumbers(const std::string& version) {
    std::vector<unsigned long> numbers;
    size_t i = 0;
    while (i < version.size()) {
        if (std::isdigit(static_cast<unsigned char>(version[i]))) {
            size_t end = i;
            while (end < version.size() && std::isdigit(static_cast<unsigned char>(version[end])))
                ++end;
            numbers.push_back(std::stoul(version.substr(i, std::min<size_t>(end - i, 9))));
            i = end;
        } else {
            ++i;
        }
    }
    return numbers;
}

// The entry of a ;-separated folder list whose last part is `name`, when that folder exists.
std::string ListedFolder(const std::string& list, const std::string& name,
                         toolkit::FileSystem& files) {
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(';', start);
        if (end == std::string::npos) end = list.size();
        std::string entry = list.substr(start, end - start);
        while (!entry.empty() && (entry.back() == '\\' || entry.back() == '/')) entry.pop_back();
        const size_t slash = entry.find_last_of("\\/");
        const std::string last = slash == std::string::npos ? entry : entry.substr(slash + 1);
        if (!entry.empty() && SameName(last, name) && files.FolderExists(entry)) return entry;
        start = end + 1;
    }
    return "";
}

std::optional<GhostscriptInstall> Inspect(registry::MachineRegistry& registry,
                                          toolkit::FileSystem& files, const std::string& key,
                                          const std::string& version) {
    const std::string versionKey = key + "\\" + version;
    const auto dll = registry.ReadString(versionKey, "GS_DLL");
    if (!dll || FolderOf(*dll).empty()) return std::nullopt;
    GhostscriptInstall found;
    found.version = version;
    found.exe = JoinPath(FolderOf(*dll), "gswin64c.exe");
    if (!files.FileExists(found.exe)) return std::nullopt;
    const std::string list = registry.ReadString(versionKey, "GS_LIB").value_or("");
    const std::string root = FolderOf(FolderOf(*dll));
    for (auto [name, field] : {std::pair{"lib", &found.lib}, std::pair{"fonts", &found.fonts}}) {
        *field = ListedFolder(list, name, files);
        if (field->empty() && !root.empty() && files.FolderExists(JoinPath(root, name)))
            *field = JoinPath(root, name);
    }
    return found;
}

}  // namespace

int CompareVersions(const std::string& a, const std::string& b) {
    const auto x = VersionNumbers(a);
    const auto y = VersionNumbers(b);
    for (size_t i = 0; i < std::max(x.size(), y.size()); ++i) {
        const unsigned long p = i < x.size() ? x[i] : 0;
        const unsigned long q = i < y.size() ? y[i] : 0;
        if (p != q) return p < q ? -1 : 1;
    }
    return 0;
}

std::optional<GhostscriptInstall> FindGhostscript(registry::MachineRegistry& registry,
                                                  toolkit::FileSystem& files) {
    std::vector<std::pair<std::string, std::string>> versions;  // key, version
    for (const char* key : kGhostscriptKeys) {
        try {
            for (const std::string& version : registry.SubKeys(key))
                versions.emplace_back(key, version);
        } catch (const toolkit::RuntimeError&) {
            // An unreadable key hides its versions; the other key may still have one.
        }
    }
    std::stable_sort(versions.begin(), versions.end(), [](const auto& a, const auto& b) {
        return CompareVersions(a.second, b.second) > 0;
    });
    for (const auto& [key, version] : versions)
        if (auto found = Inspect(registry, files, key, version)) return found;
    return std::nullopt;
}

}  // namespace vellum::settings
