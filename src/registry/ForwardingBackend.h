#pragma once
// A backend that passes every call on to another, for decorators that change
// one or two calls (open later, pause between writes, read in a test) and must
// pass on all the rest, transactions and snapshots included. Without a target
// (not opened, or cannot be) every call fails with kStatusIoFailed.
#include "registry/RegistryBackend.h"

namespace ferro {

class ForwardingBackend : public RegistryBackend {
public:
    Status createKey(RootKey root, const std::string& path, KeyHandle& out) override
    {
        RegistryBackend* t = target();
        return t ? t->createKey(root, path, out) : kStatusIoFailed;
    }
    Status openKey(RootKey root, const std::string& path, std::uint32_t access, KeyHandle& out) override
    {
        RegistryBackend* t = target();
        return t ? t->openKey(root, path, access, out) : kStatusIoFailed;
    }
    Status setValue(KeyHandle key, const std::string& name, std::uint32_t type, const Bytes& data) override
    {
        RegistryBackend* t = target();
        return t ? t->setValue(key, name, type, data) : kStatusIoFailed;
    }
    Status queryValue(KeyHandle key, const std::string& name, std::uint32_t& type, Bytes& data) override
    {
        RegistryBackend* t = target();
        return t ? t->queryValue(key, name, type, data) : kStatusIoFailed;
    }
    Status deleteValue(KeyHandle key, const std::string& name) override
    {
        RegistryBackend* t = target();
        return t ? t->deleteValue(key, name) : kStatusIoFailed;
    }
    void closeKey(KeyHandle key) override
    {
        if (RegistryBackend* t = target())
            t->closeKey(key);
    }
    Status beginChanges() override
    {
        RegistryBackend* t = target();
        return t ? t->beginChanges() : kStatusIoFailed;
    }
    Status commitChanges() override
    {
        RegistryBackend* t = target();
        return t ? t->commitChanges() : kStatusIoFailed;
    }
    void discardChanges() override
    {
        if (RegistryBackend* t = target())
            t->discardChanges();
    }
    bool changesAreAllOrNothing() const override
    {
        const RegistryBackend* t = target();
        return t && t->changesAreAllOrNothing();
    }
    Status beginReading() override
    {
        RegistryBackend* t = target();
        return t ? t->beginReading() : kStatusIoFailed;
    }
    void endReading() override
    {
        if (RegistryBackend* t = target())
            t->endReading();
    }

protected:
    // The backend the calls go to; nullptr when there is none.
    virtual RegistryBackend* target() const = 0;
};

}  // namespace ferro
