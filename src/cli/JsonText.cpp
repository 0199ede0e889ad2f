#include "cli/JsonText.h"

#include <cstdio>

namespace ferro {
namespace {

// Windows-1252 0x80 to 0x9F; 0 where the code page leaves a byte undefined
// (such a byte passes through as the control character of its number).
constexpr char16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

}  // namespace

std::string jsonString(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte >= 0x20 && byte < 0x7F) {
            out += c;
        } else {
            const unsigned code = byte >= 0x80 && byte < 0xA0 && kHighControls[byte - 0x80]
                                      ? kHighControls[byte - 0x80]
                                      : byte;
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", code);
            out += escape;
        }
    }
    return out + '"';
}

void JsonWriter::beforeValue()
{
    if (!afterKey_ && !first_)
        text_ += ',';
    afterKey_ = false;
    first_ = false;
}

JsonWriter& JsonWriter::open(char opening, char closing)
{
    beforeValue();
    text_ += opening;
    open_.push_back(closing);
    first_ = true;
    return *this;
}

JsonWriter& JsonWriter::object()
{
    return open('{', '}');
}

JsonWriter& JsonWriter::array()
{
    return open('[', ']');
}

JsonWriter& JsonWriter::end()
{
    text_ += open_.back();
    open_.pop_back();
    first_ = false;
    return *this;
}

JsonWriter& JsonWriter::key(std::string_view name)
{
    beforeValue();
    text_ += jsonString(name) + ':';
    afterKey_ = true;
    return *this;
}

JsonWriter& JsonWriter::string(std::string_view text)
{
    beforeValue();
    text_ += jsonString(text);
    return *this;
}

JsonWriter& JsonWriter::number(long long n)
{
    beforeValue();
    text_ += std::to_string(n);
    return *this;
}

JsonWriter& JsonWriter::boolean(bool b)
{
    beforeValue();
    text_ += b ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::null()
{
    beforeValue();
    text_ += "null";
    return *this;
}

}  // namespace ferro
