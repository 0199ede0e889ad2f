#pragma once
// How every command writes a value for programs: where it lives and its
// state, the same in each command's JSON.
#include "cli/JsonText.h"
#include "registry/RegistryBackend.h"

namespace ferro {

// The members "path", "root", "key" and "value" of the object being written.
void writePlace(JsonWriter& json, const ValuePath& path);
// A value's state: null when absent, else an object with its type and data.
void writeState(JsonWriter& json, const ValueState& state);

}  // namespace ferro
