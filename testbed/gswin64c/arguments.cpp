#include "arguments.h"

#include "toolkit/win32/strings.h"

namespace vellum::testbed {

namespace {

using win32::Narrow;

bool StartsWith(const std::wstring& text, const wchar_t* prefix) {
    return text.rfind(prefix, 0) == 0;
}

std::string FileOrPath(const std::wstring& arg, const PathMapper& mapper) {
    if (arg.empty()) return {};
    if (mapper.Exists(arg) || LooksLikeWindowsPath(arg)) return mapper.ToUnix(arg);
    return Narrow(arg);
}

std::string OutputFile(const std::wstring& file, const PathMapper& mapper) {
    // Devices and pipes are Ghostscript's own syntax, not files.
    if (file.empty() || file == L"-" || file[0] == L'%' || file[0] == L'|') return Narrow(file);
    return mapper.ToUnix(file);
}

std::string SearchPath(const std::wstring& list, const PathMapper& mapper) {
    std::string joined;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(L';', start);
        if (end == std::wstring::npos) end = list.size();
        if (end > start) {
            if (!joined.empty()) joined += ':';
            joined += mapper.ToUnix(list.substr(start, end - start));
        }
        start = end + 1;
    }
    return joined;
}

}  // namespace

bool LooksLikeWindowsPath(const std::wstring& arg) {
    const bool drive = arg.size() >= 2 && arg[1] == L':' &&
                       ((arg[0] >= L'A' && arg[0] <= L'Z') || (arg[0] >= L'a' && arg[0] <= L'z'));
    return drive || arg.find(L'\\') != std::wstring::npos;
}

std::vector<std::string> TranslateArguments(const std::vector<std::wstring>& args,
                                            const PathMapper& mapper) {
    std::vector<std::string> out;
    bool postScript = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::wstring& arg = args[i];
        const bool hasNext = i + 1 < args.size();
        if (postScript && !StartsWith(arg, L"-f")) {
            out.push_back(Narrow(arg));
        } else if (arg == L"-c") {
            postScript = true;
            out.push_back("-c");
        } else if (StartsWith(arg, L"-f")) {
            postScript = false;
            out.push_back("-f" + FileOrPath(arg.substr(2), mapper));
        } else if (arg == L"-I" && hasNext) {
            out.push_back("-I");
            out.push_back(SearchPath(args[++i], mapper));
        } else if (StartsWith(arg, L"-I")) {
            out.push_back("-I" + SearchPath(arg.substr(2), mapper));
        } else if (StartsWith(arg, L"-sOutputFile=")) {
            out.push_back("-sOutputFile=" + OutputFile(arg.substr(13), mapper));
        } else if ((arg == L"-sOutputFile" || arg == L"-o") && hasNext) {
            out.push_back(Narrow(arg));
            out.push_back(OutputFile(args[++i], mapper));
        } else if (StartsWith(arg, L"--permit-file-") && arg.find(L'=') != std::wstring::npos) {
            const size_t equals = arg.find(L'=');
            out.push_back(Narrow(arg.substr(0, equals + 1)) +
                          SearchPath(arg.substr(equals + 1), mapper));
        } else if (StartsWith(arg, L"-s") && arg.find(L'=') != std::wstring::npos &&
                   LooksLikeWindowsPath(arg.substr(arg.find(L'=') + 1))) {
            const size_t equals = arg.find(L'=');
            out.push_back(Narrow(arg.substr(0, equals + 1)) +
                          mapper.ToUnix(arg.substr(equals + 1)));
        } else if (StartsWith(arg, L"-")) {
            out.push_back(Narrow(arg));
        } else {
            out.push_back(FileOrPath(arg, mapper));
        }
    }
    return out;
}

}  // namespace vellum::testbed
