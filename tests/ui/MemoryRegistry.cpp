#include "ui/MemoryRegistry.h"

namespace ferro::test {

std::string MemoryRegistry::keyName(RootKey root, const std::string& path) const
{
    std::string name = std::to_string(static_cast<std::uint32_t>(root));
    // Every level exists once its child does.
    for (std::size_t start = 0; start <= path.size();) {
        const std::size_t end = std::min(path.find('\\', start), path.size());
        name += '\\' + foldName(path.substr(start, end - start));
        start = end + 1;
    }
    return name;
}

MemoryRegistry::Key* MemoryRegistry::key(KeyHandle handle)
{
    const auto found = handles_.find(handle);
    return found == handles_.end() ? nullptr : &keys_[found->second];
}

Status MemoryRegistry::createKey(RootKey root, const std::string& path, KeyHandle& out)
{
    const std::string name = keyName(root, path);
    if (readOnly)
        return kStatusAccessDenied;
    keys_[name];
    for (std::size_t cut = name.rfind('\\'); cut != std::string::npos && cut > 0; cut = name.rfind('\\', cut - 1))
        keys_[name.substr(0, cut)];
    out = next_++;
    handles_[out] = name;
    return kStatusOk;
}

Status MemoryRegistry::openKey(RootKey root, const std::string& path, std::uint32_t access, KeyHandle& out)
{
    const std::string name = keyName(root, path);
    if (!keys_.count(name))
        return kStatusNotFound;
    if (readOnly && (access & kKeyModifyingRights))
        return kStatusAccessDenied;
    out = next_++;
    handles_[out] = name;
    return kStatusOk;
}

Status MemoryRegistry::setValue(KeyHandle handle, const std::string& name, std::uint32_t type, const Bytes& data)
{
    Key* k = key(handle);
    if (!k)
        return kStatusInvalidHandle;
    if (readOnly)
        return kStatusAccessDenied;
    if (beforeWrite)
        beforeWrite();
    (*k)[foldName(name)] = {type, data};
    return kStatusOk;
}

Status MemoryRegistry::queryValue(KeyHandle handle, const std::string& name, std::uint32_t& type, Bytes& data)
{
    Key* k = key(handle);
    if (!k)
        return kStatusInvalidHandle;
    const auto found = k->find(foldName(name));
    if (found == k->end())
        return kStatusNotFound;
    type = found->second.type;
    data = found->second.data;
    return kStatusOk;
}

Status MemoryRegistry::deleteValue(KeyHandle handle, const std::string& name)
{
    Key* k = key(handle);
    if (!k)
        return kStatusInvalidHandle;
    if (readOnly)
        return kStatusAccessDenied;
    return k->erase(foldName(name)) ? kStatusOk : kStatusNotFound;
}

}  // namespace ferro::test
