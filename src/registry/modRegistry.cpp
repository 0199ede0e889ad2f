#include "registry/modRegistry.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace modRegistry {

using namespace ferro;

void CreateKey(const Registry& reg, const std::string& keyPath, RootKey root)
{
    KeyGuard key(reg.backend);
    // A failed creation is not reported: the following SetKeyValue finds the
    // key missing or refused and says so.
    (void)reg.backend.createKey(root, keyPath, key.handle);
}

void SetKeyValue(const Registry& reg, RootKey root, const std::string& keyPath,
                 const std::string& valueName, const std::string& value,
                 std::uint32_t valueType)
{
    KeyGuard key(reg.backend);
    Status status = reg.backend.openKey(root, keyPath, kKeyWriteAccess, key.handle);
    const ValuePath path{root, keyPath, valueName};
    if (status != kStatusOk)
        reg.notify({Failure::Operation::OpenKey, path, status, {}});
    Bytes bytes;
    if (valueType == kRegDword && (status = encodeDword(value, bytes)) != kStatusOk) {
        reg.notify({Failure::Operation::Conversion, path, status, value});
        return;
    }
    // The write is attempted even through a null handle; the backend refuses
    // it, and the user sees that second message too.
    status = WriteValueData(reg, key.handle, valueName, valueType, value);
    if (status != kStatusOk)
        reg.notify({Failure::Operation::SetValue, path, status, {}});
}

Status WriteValueData(const Registry& reg, KeyHandle key, const std::string& valueName,
                      std::uint32_t valueType, const std::string& value)
{
    if (valueType != kRegSz && valueType != kRegDword)
        return kStatusOk;
    Bytes bytes;
    const Status encoded = encodeData(valueType, value, bytes);
    return encoded != kStatusOk ? encoded : reg.backend.setValue(key, valueName, valueType, bytes);
}

Bytes encodeSz(const std::string& text)
{
    Bytes bytes(text.begin(), text.end());
    bytes.push_back(0);
    return bytes;
}

Status encodeDword(const std::string& text, Bytes& out)
{
    // Whole decimal numbers only, blanks around allowed, as the conversion of
    // a text datum to a 32-bit number does.
    const auto first = text.find_first_not_of(" \t");
    const auto last = text.find_last_not_of(" \t");
    const std::string trimmed = first == std::string::npos ? "" : text.substr(first, last - first + 1);
    std::size_t digitsAt = (!trimmed.empty() && (trimmed[0] == '-' || trimmed[0] == '+')) ? 1 : 0;
    const bool allDigits = trimmed.size() > digitsAt &&
        trimmed.find_first_not_of("0123456789", digitsAt) == std::string::npos;
    if (!allDigits)
        return kStatusInvalidData;
    errno = 0;
    const long long number = std::strtoll(trimmed.c_str(), nullptr, 10);
    if (errno == ERANGE || number < INT32_MIN || number > INT32_MAX)
        return kStatusOutOfRange;
    const auto bits = static_cast<std::uint32_t>(static_cast<std::int32_t>(number));
    out = Bytes{static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
                static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24)};
    return kStatusOk;
}

Status encodeData(std::uint32_t type, const std::string& text, Bytes& out)
{
    if (type == kRegDword)
        return encodeDword(text, out);
    if (type != kRegSz)
        return kStatusInvalidData;
    out = encodeSz(text);
    return kStatusOk;
}

}  // namespace modRegistry
