#include "registry/LazyRegistry.h"

#include <exception>
#include <utility>

namespace ferro {

LazyRegistry::LazyRegistry(Opener open, FailureHandler cannotOpen)
    : open_(std::move(open)), cannotOpen_(std::move(cannotOpen))
{
}

RegistryBackend* LazyRegistry::target() const
{
    if (!backend_ && !failed_) {
        try {
            backend_ = open_();
        } catch (const std::exception& e) {
            failed_ = true;
            cannotOpen_(e.what());
        }
    }
    return backend_.get();
}

}  // namespace ferro
