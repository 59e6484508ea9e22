#include "redirection_rules.h"

#include <cwchar>

namespace vellum::testbed {

namespace {

std::wstring Without(const std::wstring& text, const wchar_t* excluded) {
    std::wstring kept;
    for (const wchar_t c : text)
        if (std::wcschr(excluded, c) == nullptr) kept += c;
    return kept;
}

std::wstring Hex8(std::uint32_t value) {
    wchar_t text[9];
    std::swprintf(text, 9, L"%08x", static_cast<unsigned>(value));
    return text;
}

}  // namespace

std::wstring RedMonBaseName(const std::wstring& document) {
    const std::size_t slash = document.find_last_of(L"\\/");
    const std::wstring name = slash == std::wstring::npos ? document : document.substr(slash + 1);
    const std::wstring kept = Without(name, L"<>\"|/\\?*:");
    return kept.substr(0, kept.find(L'.'));
}

std::wstring RedMonCommandLine(const std::wstring& command, const std::wstring& arguments,
                               const JobFacts& job) {
    std::wstring line = L"\"" + command + L"\" ";
    const auto fits = [&](std::size_t length) { return line.size() + length < kRedMonLineLimit; };
    for (std::size_t at = 0; at < arguments.size() && line.size() < kRedMonLineLimit; ++at) {
        const wchar_t c = arguments[at];
        const wchar_t next = at + 1 < arguments.size() ? arguments[at + 1] : L'\0';
        if (c == L'%' && next == L'1' && fits(job.fileName.size())) {
            line += job.fileName;
        } else if (c == L'%' && next == L'h' && fits(16)) {
            line += Hex8(job.pipeHandle);
        } else if (c == L'%' && next == L'b' && fits(RedMonBaseName(job.document).size())) {
            line += RedMonBaseName(job.document);
        } else if (c == L'%' && next == L'd' && fits(job.document.size())) {
            line += Without(job.document, L"<>\"|/\\?*:");
        } else if (c == L'%' && next == L'u' && fits(job.user.size())) {
            line += Without(job.user, L"<>\"|/\\:");
        } else if (c == L'%' && next == L'%') {
            line += L'%';
        } else {
            line += c;
            continue;
        }
        ++at;  // the letter after the %
    }
    if (line.size() > kRedMonLineLimit) line.resize(kRedMonLineLimit);
    return line;
}

std::wstring RedRunTail(const std::wstring& commandLine) {
    std::size_t at = 0;
    while (at < commandLine.size() && commandLine[at] != L' ') {
        if (commandLine[at] == L'"') {
            ++at;
            while (at < commandLine.size() && commandLine[at] != L'"') ++at;
        }
        if (at < commandLine.size()) ++at;
    }
    while (at < commandLine.size() && commandLine[at] == L' ') ++at;
    return commandLine.substr(at);
}

std::wstring RedRunCommandLine(const std::wstring& tail, const std::wstring& jobPath) {
    const std::wstring quoted = L"\"" + jobPath + L"\"";
    std::wstring line;
    bool replaced = false;
    std::size_t at = 0;
    while (at < tail.size()) {
        const std::size_t start = at;
        while (at < tail.size() && tail[at] != L' ') {
            if (tail[at] == L'"') {
                ++at;
                while (at < tail.size() && tail[at] != L'"') ++at;
            }
            if (at < tail.size()) ++at;
        }
        const std::wstring argument = tail.substr(start, at - start);
        if (argument == L"%1") {
            line += quoted;
            replaced = true;
        } else {
            line += argument;
        }
        while (at < tail.size() && tail[at] == L' ') line += tail[at++];
    }
    if (!replaced) line += L" " + quoted;
    return line;
}

std::wstring ProgramOfCommandLine(const std::wstring& commandLine, const FindProgram& find) {
    if (!commandLine.empty() && commandLine[0] == L'"') {
        const std::size_t close = commandLine.find(L'"', 1);
        return find(commandLine.substr(1, close == std::wstring::npos ? close : close - 1));
    }
    for (std::size_t at = 0; at <= commandLine.size(); ++at) {
        if (at < commandLine.size() && commandLine[at] != L' ' && commandLine[at] != L'\t')
            continue;
        if (at == 0) return {};  // a line that starts with a blank names nothing
        if (commandLine[at - 1] == L' ' || commandLine[at - 1] == L'\t') continue;
        const std::wstring found = find(commandLine.substr(0, at));
        if (!found.empty()) return found;
    }
    return {};
}

}  // namespace vellum::testbed
