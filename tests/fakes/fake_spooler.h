#pragma once

#include <optional>
#include <string>
#include <vector>

#include "config/ports.h"

namespace vellum {

// A spooler that answers from a list of ports, or not at all.
class FakeSpooler : public config::Spooler {
public:
    std::optional<std::vector<config::PortRecord>> ListPorts(const std::string&) override {
        ++queries;
        if (unreachable) return std::nullopt;
        return ports;
    }

    void AddRedMon(const std::string& name) {
        ports.push_back({name, "Redirected Port", "RedMon", 1});
    }

    std::vector<config::PortRecord> ports;
    bool unreachable = false;
    int queries = 0;
};

}  // namespace vellum
