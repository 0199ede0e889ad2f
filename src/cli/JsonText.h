#pragma once
// JSON text for programs that read the tool's output (PowerShell's
// ConvertFrom-Json, dashboards). Written by hand: a library would be most
// of the Windows tool's size for a few strings.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ferro {

// `text`, in the registry's single-byte encoding (Windows-1252), as a JSON
// string: quoted, and every byte outside printable ASCII as a \u escape, so
// that the output is ASCII whatever the console's code page.
std::string jsonString(std::string_view text);

// One JSON document, written as it is built, without blanks: members and
// elements get their commas, and every object and array is closed by the
// end() that matches it.
class JsonWriter {
public:
    JsonWriter& object();                 // {
    JsonWriter& array();                  // [
    JsonWriter& end();                    // } or ]
    JsonWriter& key(std::string_view name);  // the next member's name
    JsonWriter& string(std::string_view text);
    JsonWriter& number(long long n);
    JsonWriter& boolean(bool b);
    JsonWriter& null();
    // The document with a line end, once every object and array is closed.
    std::string line() const { return text_ + '\n'; }

private:
    void beforeValue();
    JsonWriter& open(char opening, char closing);
    std::string text_;
    std::vector<char> open_;     // the closing character of each open object or array
    bool first_ = true;          // nothing written yet in the innermost one
    bool afterKey_ = false;
};

}  // namespace ferro
