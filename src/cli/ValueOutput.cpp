#include "cli/ValueOutput.h"

#include <vector>

#include "registry/ValueChanges.h"

namespace ferro {
namespace {

constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegMultiSz = 7;

const char* const kTypeNames[] = {"REG_NONE",
                                  "REG_SZ",
                                  "REG_EXPAND_SZ",
                                  "REG_BINARY",
                                  "REG_DWORD",
                                  "REG_DWORD_BIG_ENDIAN",
                                  "REG_LINK",
                                  "REG_MULTI_SZ",
                                  "REG_RESOURCE_LIST",
                                  "REG_FULL_RESOURCE_DESCRIPTOR",
                                  "REG_RESOURCE_REQUIREMENTS_LIST",
                                  "REG_QWORD"};

bool isText(const ValueState& s)
{
    return s.type == kRegSz || s.type == kRegExpandSz;
}

bool isNumber(const ValueState& s)
{
    return s.type == kRegDword && s.data.size() == 4;
}

// A string value up to its first NUL (a missing one is no matter).
std::string textOf(const Bytes& data)
{
    const std::string text(data.begin(), data.end());
    return text.substr(0, text.find('\0'));
}

std::uint32_t numberOf(const Bytes& data)
{
    return data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<std::uint32_t>(data[3]) << 24);
}

// The strings of a REG_MULTI_SZ, without the empty one that ends the list.
std::vector<std::string> stringsOf(const Bytes& data)
{
    std::vector<std::string> strings;
    std::string current;
    for (const std::uint8_t byte : data) {
        if (byte != 0) {
            current += static_cast<char>(byte);
        } else if (!current.empty()) {
            strings.push_back(current);
            current.clear();
        } else {
            break;
        }
    }
    if (!current.empty())
        strings.push_back(current);
    return strings;
}

std::string hexOf(const Bytes& data)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (const std::uint8_t byte : data)
        hex += {digits[byte >> 4], digits[byte & 0xF]};
    return hex;
}

std::string tsvField(const std::string& text)
{
    std::string field;
    for (const char c : text)
        field += c == '\t' ? "\\t" : c == '\n' ? "\\n" : c == '\r' ? "\\r" : std::string(1, c);
    return field;
}

}  // namespace

std::string typeName(std::uint32_t type)
{
    return type < std::size(kTypeNames) ? kTypeNames[type] : "REG_TYPE_" + std::to_string(type);
}

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
    json.object().key("type").string(typeName(state.type)).key("data");
    if (isText(state)) {
        json.string(textOf(state.data));
    } else if (isNumber(state)) {
        json.number(numberOf(state.data));
    } else if (state.type == kRegMultiSz) {
        json.array();
        for (const std::string& s : stringsOf(state.data))
            json.string(s);
        json.end();
    } else {
        json.string(hexOf(state.data));
    }
    json.end();
}

std::string tsvData(const ValueState& state)
{
    if (!state.present)
        return "-";
    if (isText(state))
        return tsvField(textOf(state.data));
    if (isNumber(state))
        return std::to_string(numberOf(state.data));
    if (state.type != kRegMultiSz)
        return hexOf(state.data);
    std::string joined;
    for (const std::string& s : stringsOf(state.data))
        joined += (joined.empty() ? "" : "\\0") + tsvField(s);
    return joined;
}

std::string tsvType(const ValueState& state)
{
    return state.present ? typeName(state.type) : "-";
}

}  // namespace ferro
