#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "config/ports.h"

namespace vellum {

// A spooler that answers level-2 requests from a list of ports, laying the answer out in the
// caller's buffer the way the platform does: the records first, then the texts.
class FakeSpooler : public config::Spooler {
public:
    struct Port {
        std::string name;
        std::string monitor;
        std::string description;
        bool nullMonitor = false;
    };

    bool QueryPorts(const std::string&, std::uint32_t level, std::uint8_t* buffer,
                    std::uint32_t size, std::uint32_t& needed, std::uint32_t& returned) override {
        ++queries;
        if (level != 2 || unreachable) {
            returned = 0;
            return false;
        }
        std::uint32_t texts = 0;
        for (const Port& p : ports)
            texts += static_cast<std::uint32_t>(p.name.size() + p.monitor.size() +
                                                p.description.size() + 3);
        needed = static_cast<std::uint32_t>(ports.size() * sizeof(config::PortInfo2)) + texts;
        if (buffer == nullptr || size < needed) {
            returned = 0;
            return false;
        }
        auto* records = reinterpret_cast<config::PortInfo2*>(buffer);
        char* text = reinterpret_cast<char*>(buffer + ports.size() * sizeof(config::PortInfo2));
        auto put = [&text](const std::string& s) {
            std::memcpy(text, s.c_str(), s.size() + 1);
            const char* at = text;
            text += s.size() + 1;
            return at;
        };
        for (size_t i = 0; i < ports.size(); ++i) {
            records[i].pPortName = put(ports[i].name);
            const char* monitor = put(ports[i].monitor);
            records[i].pMonitorName = ports[i].nullMonitor ? nullptr : monitor;
            records[i].pDescription = put(ports[i].description);
            records[i].fPortType = 1;
            records[i].Reserved = 0;
        }
        returned = static_cast<std::uint32_t>(ports.size());
        return true;
    }
    std::uint8_t* HeapAlloc(std::uint32_t size) override {
        ++allocations;
        return new std::uint8_t[size == 0 ? 1 : size];
    }
    void HeapFree(std::uint8_t* block) override {
        ++frees;
        delete[] block;
    }
    std::string FromAnsi(const std::string& ansi) override { return ansi; }

    void AddRedMon(const std::string& name) {
        ports.push_back({name, "Redirected Port", "RedMon"});
    }

    std::vector<Port> ports;
    bool unreachable = false;
    int queries = 0;
    int allocations = 0;
    int frees = 0;
};

}  // namespace vellum
