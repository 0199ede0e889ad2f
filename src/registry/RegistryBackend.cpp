#include "registry/RegistryBackend.h"

#include <algorithm>
#include <cctype>

namespace ferro {

const char* rootName(RootKey root)
{
    return root == RootKey::CurrentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
}

bool parseRootName(const std::string& text, RootKey& out)
{
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (upper == "HKEY_CURRENT_USER" || upper == "HKCU") {
        out = RootKey::CurrentUser;
        return true;
    }
    if (upper == "HKEY_LOCAL_MACHINE" || upper == "HKLM") {
        out = RootKey::LocalMachine;
        return true;
    }
    return false;
}

std::string foldName(const std::string& name)
{
    std::string folded(name);
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

bool samePlace(const ValuePath& a, const ValuePath& b)
{
    return a.root == b.root && foldName(a.keyPath) == foldName(b.keyPath) &&
           foldName(a.valueName) == foldName(b.valueName);
}

Status readValue(RegistryBackend& backend, const ValuePath& path, ValueState& out)
{
    out = ValueState{};
    KeyGuard key(backend);
    Status status = backend.openKey(path.root, path.keyPath, kKeyReadAccess, key.handle);
    if (status != kStatusOk)
        return status;
    status = backend.queryValue(key.handle, path.valueName, out.type, out.data);
    out.present = status == kStatusOk;
    if (!out.present) {
        out.type = 0;
        out.data.clear();
    }
    return status;
}

Status writeValue(RegistryBackend& backend, const ValuePath& path, std::uint32_t type,
                  const Bytes& data)
{
    KeyGuard key(backend);
    Status status = backend.createKey(path.root, path.keyPath, key.handle);
    if (status != kStatusOk)
        return status;
    return backend.setValue(key.handle, path.valueName, type, data);
}

Status deleteValue(RegistryBackend& backend, const ValuePath& path)
{
    KeyGuard key(backend);
    Status status = backend.openKey(path.root, path.keyPath, kKeyWriteAccess, key.handle);
    if (status == kStatusNotFound)
        return kStatusOk;  // no key, so no value: already as wanted
    if (status != kStatusOk)
        return status;
    status = backend.deleteValue(key.handle, path.valueName);
    return status == kStatusNotFound ? kStatusOk : status;
}

std::string statusText(Status status)
{
    switch (status) {
    case kStatusOk: return "success";
    case kStatusNotFound: return "not found (2)";
    case kStatusAccessDenied: return "access denied (5)";
    case kStatusInvalidHandle: return "invalid handle (6)";
    case kStatusInvalidData: return "the data is not valid (13)";
    case kStatusWriteProtected: return "the file system is read-only (19)";
    case kStatusDiskFull: return "the disk is full (112)";
    case kStatusBadPath: return "the path is not valid (161)";
    case kStatusBusy: return "locked by another program (170)";
    case kStatusOutOfRange: return "the number is out of range (534)";
    case kStatusRegistryCorrupt: return "the registry is damaged (1015)";
    case kStatusIoFailed: return "a read or write failed (1016)";
    default: return "error " + std::to_string(status);
    }
}

}  // namespace ferro
