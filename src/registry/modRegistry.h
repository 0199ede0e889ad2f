#pragma once
// The registry layer: the only code that creates keys and writes values for
// the boost. It reports its own failures, as data, through an injected sink
// and gives its callers no result; the words are the receiver's.
#include <functional>
#include <string>

#include "registry/RegistryBackend.h"
#include "registry/ValueChanges.h"

namespace modRegistry {

// A failed open or set is reported with its status, a datum that cannot be
// stored as its type (before any call) as a conversion.
using FailureSink = std::function<void(const ferro::Failure& failure)>;

// The backend the layer writes through and where its failures go (the
// windows show them as modal boxes, the command-line tool prints them).
struct Registry {
    ferro::RegistryBackend& backend;
    FailureSink notify;
};

// Makes sure the key exists; failures are silent.
void CreateKey(const Registry& reg, const std::string& keyPath, ferro::RootKey root);

// Opens keyPath under root and writes one value; reports a failed open and/or
// a failed write, or a REG_DWORD datum that is not a whole number in the
// signed 32-bit range (then nothing is written).
void SetKeyValue(const Registry& reg, ferro::RootKey root, const std::string& keyPath,
                 const std::string& valueName, const std::string& value,
                 std::uint32_t valueType);

// Encodes the value by its type and stores it through an open key. Types other
// than REG_SZ and REG_DWORD write nothing and give 0; a datum that cannot be
// stored as its type writes nothing and gives encodeDword's status.
ferro::Status WriteValueData(const Registry& reg, ferro::KeyHandle key,
                             const std::string& valueName, std::uint32_t valueType,
                             const std::string& value);

// The encodings, shared with everything that must produce the same bytes.
ferro::Bytes encodeSz(const std::string& text);
// kStatusInvalidData (not a whole number) or kStatusOutOfRange (outside the
// signed 32-bit range), and `out` untouched, for a datum it cannot store.
ferro::Status encodeDword(const std::string& text, ferro::Bytes& out);
// encodeSz or encodeDword by the type; other types give kStatusInvalidData.
ferro::Status encodeData(std::uint32_t type, const std::string& text, ferro::Bytes& out);

}  // namespace modRegistry
