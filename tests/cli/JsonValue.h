#pragma once
// A small JSON reader for the tests: what a program reading the tool's JSON
// gets, so that tests compare values, not spellings. Throws on anything that
// is not one well-formed JSON document.
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace ferro::test {

struct JsonValue {
    using Array = std::vector<JsonValue>;
    using Object = std::map<std::string, JsonValue>;
    std::variant<std::nullptr_t, bool, double, std::string, Array, Object> v;

    bool isNull() const { return std::holds_alternative<std::nullptr_t>(v); }
    bool isNumber() const { return std::holds_alternative<double>(v); }
    bool isString() const { return std::holds_alternative<std::string>(v); }
    bool isArray() const { return std::holds_alternative<Array>(v); }
    bool boolean() const { return std::get<bool>(v); }
    double number() const { return std::get<double>(v); }
    const std::string& string() const { return std::get<std::string>(v); }
    const Array& array() const { return std::get<Array>(v); }
    const Object& object() const { return std::get<Object>(v); }
    bool operator==(const JsonValue&) const = default;
    bool has(const std::string& key) const { return object().count(key) != 0; }
    const JsonValue& operator[](const std::string& key) const { return object().at(key); }
    const JsonValue& operator[](std::size_t i) const { return array().at(i); }
};

class JsonReader {
public:
    static JsonValue parse(const std::string& text)
    {
        JsonReader r(text);
        JsonValue value = r.value();
        r.blanks();
        if (r.at_ != text.size())
            throw std::runtime_error("text after the JSON document at " + std::to_string(r.at_));
        return value;
    }

private:
    explicit JsonReader(const std::string& text) : text_(text) {}

    void blanks()
    {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\n' || text_[at_] == '\t' || text_[at_] == '\r'))
            ++at_;
    }
    char peek()
    {
        blanks();
        if (at_ >= text_.size())
            throw std::runtime_error("the JSON ends early");
        return text_[at_];
    }
    void expect(char c)
    {
        if (peek() != c)
            throw std::runtime_error(std::string("expected '") + c + "' at " + std::to_string(at_));
        ++at_;
    }
    bool literal(const char* word)
    {
        const std::string w = word;
        if (text_.compare(at_, w.size(), w) != 0)
            return false;
        at_ += w.size();
        return true;
    }
    JsonValue value()
    {
        const char c = peek();
        if (c == '{')
            return {object()};
        if (c == '[')
            return {array()};
        if (c == '"')
            return {string()};
        if (literal("null"))
            return {nullptr};
        if (literal("true"))
            return {true};
        if (literal("false"))
            return {false};
        return {number()};
    }
    JsonValue::Object object()
    {
        JsonValue::Object members;
        expect('{');
        if (peek() == '}')
            return ++at_, members;
        do {
            std::string key = string();
            expect(':');
            if (!members.emplace(key, value()).second)
                throw std::runtime_error("the key \"" + key + "\" twice");
        } while (peek() == ',' && ++at_);
        expect('}');
        return members;
    }
    JsonValue::Array array()
    {
        JsonValue::Array elements;
        expect('[');
        if (peek() == ']')
            return ++at_, elements;
        do
            elements.push_back(value());
        while (peek() == ',' && ++at_);
        expect(']');
        return elements;
    }
    // Only what the tool writes: \" \\ and \u00XX or \uXXXX (kept as UTF-8).
    std::string string()
    {
        expect('"');
        std::string out;
        while (at_ < text_.size() && text_[at_] != '"') {
            char c = text_[at_++];
            if (static_cast<unsigned char>(c) < 0x20)
                throw std::runtime_error("a control character inside a string");
            if (c != '\\') {
                out += c;
                continue;
            }
            c = text_.at(at_++);
            if (c == 'u') {
                const unsigned code = std::stoul(text_.substr(at_, 4), nullptr, 16);
                at_ += 4;
                utf8(out, code);
            } else if (c == '"' || c == '\\' || c == '/') {
                out += c;
            } else {
                out += c == 'n' ? '\n' : c == 't' ? '\t' : c == 'r' ? '\r' : c == 'b' ? '\b' : '\f';
            }
        }
        expect('"');
        return out;
    }
    static void utf8(std::string& out, unsigned code)
    {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    double number()
    {
        std::size_t used = 0;
        const double n = std::stod(text_.substr(at_), &used);
        if (used == 0)
            throw std::runtime_error("not a JSON value at " + std::to_string(at_));
        at_ += used;
        return n;
    }

    const std::string& text_;
    std::size_t at_ = 0;
};

}  // namespace ferro::test
