#pragma once
// The real Windows registry, through advapi32's single-byte ("A") calls.
// Windows only. Status codes are the calls' own results, passed on unchanged.
#include "registry/RegistryBackend.h"

namespace ferro {

class Advapi32Backend final : public RegistryBackend {
public:
    Advapi32Backend() = default;

    // RegCreateKeyExA (root, path, 0, no class, REG_OPTION_NON_VOLATILE, 0x3F,
    // no security attributes): every missing level is created.
    Status createKey(RootKey root, const std::string& path, KeyHandle& out) override;
    // RegOpenKeyExA (root, path, 0, access).
    Status openKey(RootKey root, const std::string& path, std::uint32_t access,
                   KeyHandle& out) override;
    // RegSetValueExA; a null handle gives Windows' own refusal (6).
    Status setValue(KeyHandle key, const std::string& name, std::uint32_t type,
                    const Bytes& data) override;
    // RegQueryValueExA, with a buffer as large as the value needs.
    Status queryValue(KeyHandle key, const std::string& name, std::uint32_t& type,
                      Bytes& data) override;
    // RegDeleteValueA.
    Status deleteValue(KeyHandle key, const std::string& name) override;
    // RegCloseKey, also for a null handle (Windows refuses it harmlessly).
    void closeKey(KeyHandle key) override;
};

}  // namespace ferro
