#include "registry/LazyRegistry.h"

#include <exception>
#include <utility>

namespace ferro {

LazyRegistry::LazyRegistry(Opener open, FailureHandler cannotOpen)
    : open_(std::move(open)), cannotOpen_(std::move(cannotOpen))
{
}

RegistryBackend* LazyRegistry::backend() const
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

Status LazyRegistry::createKey(RootKey root, const std::string& path, KeyHandle& out)
{
    RegistryBackend* real = backend();
    return real ? real->createKey(root, path, out) : kStatusIoFailed;
}

Status LazyRegistry::openKey(RootKey root, const std::string& path, std::uint32_t access, KeyHandle& out)
{
    RegistryBackend* real = backend();
    return real ? real->openKey(root, path, access, out) : kStatusIoFailed;
}

Status LazyRegistry::setValue(KeyHandle key, const std::string& name, std::uint32_t type, const Bytes& data)
{
    RegistryBackend* real = backend();
    return real ? real->setValue(key, name, type, data) : kStatusIoFailed;
}

Status LazyRegistry::queryValue(KeyHandle key, const std::string& name, std::uint32_t& type, Bytes& data)
{
    RegistryBackend* real = backend();
    return real ? real->queryValue(key, name, type, data) : kStatusIoFailed;
}

Status LazyRegistry::deleteValue(KeyHandle key, const std::string& name)
{
    RegistryBackend* real = backend();
    return real ? real->deleteValue(key, name) : kStatusIoFailed;
}

void LazyRegistry::closeKey(KeyHandle key)
{
    // A key was only ever handed out by an open backend: nothing to open for.
    if (backend_)
        backend_->closeKey(key);
}

Status LazyRegistry::beginChanges()
{
    RegistryBackend* real = backend();
    return real ? real->beginChanges() : kStatusIoFailed;
}

Status LazyRegistry::commitChanges()
{
    RegistryBackend* real = backend();
    return real ? real->commitChanges() : kStatusIoFailed;
}

void LazyRegistry::discardChanges()
{
    if (backend_)
        backend_->discardChanges();
}

bool LazyRegistry::changesAreAllOrNothing() const
{
    RegistryBackend* real = backend();
    return real && real->changesAreAllOrNothing();
}

}  // namespace ferro
