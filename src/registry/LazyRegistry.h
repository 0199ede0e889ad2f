#pragma once
// A registry opened at its first use rather than at start: the windows come
// up without waiting for the store (its file, journal and shared memory),
// and a run that never reads or writes a value never opens it.
#include <functional>
#include <memory>
#include <string>

#include "registry/ForwardingBackend.h"

namespace ferro {

class LazyRegistry : public ForwardingBackend {
public:
    // open makes the real backend and throws when it cannot (as openRegistry
    // does); cannotOpen hears the reason, once. After a failed open every
    // call fails with kStatusIoFailed and nothing is opened again.
    using Opener = std::function<std::unique_ptr<RegistryBackend>()>;
    using FailureHandler = std::function<void(const std::string& reason)>;
    LazyRegistry(Opener open, FailureHandler cannotOpen);

private:
    // The real backend, opened now if it was not yet; nullptr when it cannot be.
    RegistryBackend* target() const override;

    Opener open_;
    FailureHandler cannotOpen_;
    mutable std::unique_ptr<RegistryBackend> backend_;
    mutable bool failed_ = false;
};

}  // namespace ferro
