#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "registry/registry_access.h"
#include "toolkit/runtime_error.h"

namespace vellum {

// An in-memory registry shared by every instance the factory creates. Records each call, and
// can be told to fail a write or a read, or to fail creation altogether.
class FakeRegistry {
public:
    using Key = std::pair<std::string, std::string>;  // key path, value name

    struct Call {
        std::string op;  // "read" or "write"
        std::string keyPath;
        std::string valueName;
        std::string value;
    };

    void Set(const std::string& keyPath, const std::string& name, const std::string& value) {
        values[{keyPath, name}] = value;
    }
    bool Has(const std::string& keyPath, const std::string& name) const {
        return values.count({keyPath, name}) != 0;
    }
    std::string Get(const std::string& keyPath, const std::string& name) const {
        auto it = values.find({keyPath, name});
        return it == values.end() ? "<missing>" : it->second;
    }
    std::vector<std::string> Writes() const {
        std::vector<std::string> names;
        for (const Call& c : calls)
            if (c.op == "write") names.push_back(c.valueName);
        return names;
    }

    std::map<Key, std::string> values;
    std::set<Key> failingWrites;
    std::set<Key> throwingReads;
    std::vector<Call> calls;
    bool machineReadOnly = false;  // HKLM as a standard user has it
    int created = 0;
    int alive = 0;
};

class FakeRegistryAccess : public registry::RegistryAccess {
public:
    explicit FakeRegistryAccess(FakeRegistry& store) : store_(store) { ++store_.alive; }
    ~FakeRegistryAccess() override { --store_.alive; }

    // HKCU's keys are kept under "HKCU\\" + the key path; HKLM's under the path alone.
    static std::string Path(std::int32_t root, const std::string& keyPath) {
        return root == registry::kHkeyCurrentUser ? "HKCU\\" + keyPath : keyPath;
    }

    void ReadString(std::int32_t root, const std::string& path, const std::string& valueName,
                    std::string& value, bool& ok) override {
        const std::string keyPath = Path(root, path);
        store_.calls.push_back({"read", keyPath, valueName, ""});
        if (store_.throwingReads.count({keyPath, valueName}))
            throw toolkit::RuntimeError(-2147024891, "Vellum.RegistryAccess", "Access is denied.");
        auto it = store_.values.find({keyPath, valueName});
        ok = it != store_.values.end();
        if (ok) value = it->second;
    }

    void WriteString(std::int32_t root, const std::string& path, const std::string& valueName,
                     const std::string& value, bool& ok) override {
        const std::string keyPath = Path(root, path);
        store_.calls.push_back({"write", keyPath, valueName, value});
        ok = store_.failingWrites.count({keyPath, valueName}) == 0 &&
             !(store_.machineReadOnly && root != registry::kHkeyCurrentUser);
        if (ok) store_.values[{keyPath, valueName}] = value;
    }

private:
    FakeRegistry& store_;
};

class FakeRegistryFactory : public registry::RegistryFactory {
public:
    explicit FakeRegistryFactory(FakeRegistry& store) : store_(store) {}
    std::unique_ptr<registry::RegistryAccess> Create() override {
        if (failCreate)
            throw toolkit::RuntimeError(429, "Vellum",
                                        "The registry component VellumRegistry.dll could not be "
                                        "created.");
        ++store_.created;
        return std::make_unique<FakeRegistryAccess>(store_);
    }
    bool failCreate = false;

private:
    FakeRegistry& store_;
};

}  // namespace vellum
