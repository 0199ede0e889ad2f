#pragma once
// The registry layer: the only code that creates keys and writes values for
// the boost. It reports its own failures, as data, through an injected sink
// and gives its callers no result; the words are the receiver's.
#include <functional>
#include <stdexcept>
#include <string>

#include "registry/RegistryBackend.h"

namespace modRegistry {

// One failed step of a write: the backend call and its status, or a datum
// that cannot be stored as its type (no call was made then).
struct WriteFailure {
    enum class Operation { OpenKey, SetValue, Conversion };
    Operation operation;
    ferro::ValuePath path;
    ferro::Status status = ferro::kStatusOk;  // the backend's; none for a conversion
    std::string conversion;                   // a conversion: why the datum was refused
};

using FailureSink = std::function<void(const WriteFailure& failure)>;

// The backend the layer writes through and where its failures go (the
// windows show them as modal boxes, the command-line tool prints them).
struct Registry {
    ferro::RegistryBackend& backend;
    FailureSink notify;
};

// Raised before anything is written when a REG_DWORD datum is not a whole
// number in the signed 32-bit range.
class ValueConversionError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// Makes sure the key exists; failures are silent.
void CreateKey(const Registry& reg, const std::string& keyPath, ferro::RootKey root);

// Opens keyPath under root and writes one value; reports a failed open and/or
// a failed write. Throws ValueConversionError for a bad REG_DWORD.
void SetKeyValue(const Registry& reg, ferro::RootKey root, const std::string& keyPath,
                 const std::string& valueName, const std::string& value,
                 std::uint32_t valueType);

// Encodes the value by its type and stores it through an open key. Types other
// than REG_SZ and REG_DWORD write nothing and give 0.
ferro::Status WriteValueData(const Registry& reg, ferro::KeyHandle key,
                             const std::string& valueName, std::uint32_t valueType,
                             const std::string& value);

// The encodings, shared with everything that must produce the same bytes.
ferro::Bytes encodeSz(const std::string& text);
ferro::Bytes encodeDword(const std::string& text);  // throws ValueConversionError

}  // namespace modRegistry
