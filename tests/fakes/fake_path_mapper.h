#pragma once

#include <set>
#include <stdexcept>
#include <string>

#include "arguments.h"

namespace vellum {

// Maps "C:\..." to "/c/..." and knows a few existing relative files.
class FakePathMapper : public testbed::PathMapper {
public:
    std::set<std::wstring> existing = {L"job.ps"};

    bool Exists(const std::wstring& path) const override { return existing.count(path) > 0; }
    std::string ToUnix(const std::wstring& path) const override {
        if (path == L"Q:\\unmapped") throw std::runtime_error("unmapped");
        std::string unix = "/";
        for (wchar_t c : path) {
            if (c == L':') continue;
            unix += c == L'\\' ? '/' : static_cast<char>(c >= L'A' && c <= L'Z' ? c + 32 : c);
        }
        return unix;
    }
};

}  // namespace vellum
