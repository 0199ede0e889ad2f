#pragma once
// How every command writes a value for programs, the same in each: where it
// lives, and its state with typed data (JSON), or its data as plain text (TSV).
#include <string>

#include "cli/JsonText.h"
#include "registry/RegistryBackend.h"

namespace ferro {

// The version of the JSON documents' layout, in each as "format". The
// untyped layout before it (data as .reg text) counts as 1.
constexpr int kJsonFormat = 2;

// "REG_SZ", "REG_DWORD", ...; "REG_TYPE_<n>" for a number Windows gives no name.
std::string typeName(std::uint32_t type);

// The members "path", "root", "key" and "value" of the object being written.
void writePlace(JsonWriter& json, const ValuePath& path);
// A value's state: null when absent, else {"type":..., "data":...} with the
// data typed: REG_SZ and REG_EXPAND_SZ a string, REG_DWORD a number,
// REG_MULTI_SZ an array of strings, anything else (and a malformed one) its
// bytes as hex text.
void writeState(JsonWriter& json, const ValueState& state);

// A value's data as a TSV field: "-" when absent; strings as they are (a tab,
// line feed or carriage return written \t, \n or \r), a REG_DWORD in
// decimal, the strings of a REG_MULTI_SZ joined by \0, anything else hex.
std::string tsvData(const ValueState& state);
// Its type for the same TSV line: "-" when absent.
std::string tsvType(const ValueState& state);

}  // namespace ferro
