#include "cli/ValueOutput.h"

#include "registry/RegFile.h"

namespace ferro {
namespace {

const char* typeName(std::uint32_t type)
{
    return type == kRegSz ? "REG_SZ" : type == kRegDword ? "REG_DWORD" : "REG_?";
}

}  // namespace

void writePlace(JsonWriter& json, const ValuePath& path)
{
    json.key("path").string(fullValuePath(path));
    json.key("root").string(rootName(path.root));
    json.key("key").string(path.keyPath);
    json.key("value").string(path.valueName);
}

void writeState(JsonWriter& json, const ValueState& state)
{
    if (!state.present) {
        json.null();
        return;
    }
    json.object().key("type").string(typeName(state.type)).key("data").string(regDataText(state)).end();
}

}  // namespace ferro
