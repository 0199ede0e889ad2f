#pragma once
// A registry in memory for the windows' tests, the same natively and under
// Wine: names compare without regard to case; a read-only registry refuses
// every change with 5, as a read-only store or a user without rights does.
#include <functional>
#include <map>
#include <string>

#include "registry/RegistryBackend.h"

namespace ferro::test {

class MemoryRegistry final : public RegistryBackend {
public:
    bool readOnly = false;
    // Called as each value is about to be written, to watch what a write happens under.
    std::function<void()> beforeWrite;

    Status createKey(RootKey root, const std::string& path, KeyHandle& out) override;
    Status openKey(RootKey root, const std::string& path, std::uint32_t access, KeyHandle& out) override;
    Status setValue(KeyHandle key, const std::string& name, std::uint32_t type, const Bytes& data) override;
    Status queryValue(KeyHandle key, const std::string& name, std::uint32_t& type, Bytes& data) override;
    Status deleteValue(KeyHandle key, const std::string& name) override;
    void closeKey(KeyHandle key) override { handles_.erase(key); }

private:
    struct Value {
        std::uint32_t type;
        Bytes data;
    };
    using Key = std::map<std::string, Value>;  // by folded value name
    std::string keyName(RootKey root, const std::string& path) const;
    Key* key(KeyHandle handle);

    std::map<std::string, Key> keys_;  // by folded root and path
    std::map<KeyHandle, std::string> handles_;
    KeyHandle next_ = 1;
};

}  // namespace ferro::test
