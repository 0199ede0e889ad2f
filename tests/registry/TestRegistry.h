#pragma once
// The registry a test writes to: a fresh embedded store natively, the real
// registry (under unique keys, deleted afterwards) on Windows and under Wine.
#include <memory>
#include <string>

#include "registry/RegistryBackend.h"

namespace ferro::test {

class TestRegistry {
public:
    TestRegistry();
    ~TestRegistry();
    TestRegistry(const TestRegistry&) = delete;
    TestRegistry& operator=(const TestRegistry&) = delete;

    RegistryBackend& backend() { return *backend_; }
    // A key path that belongs to this test alone, below either root.
    std::string key(const std::string& relative) const;
    // The folder a test may write files to (removed afterwards).
    const std::string& folder() const { return folder_; }
    // The store file (natively) or "" (on Windows).
    const std::string& storePath() const { return storePath_; }

private:
    std::unique_ptr<RegistryBackend> backend_;
    std::string folder_;
    std::string storePath_;
    std::string prefix_;
};

// True when the tests run under Wine, which differs from Windows in places.
bool runningUnderWine();

}  // namespace ferro::test
