#include "registry/RegFile.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <unordered_map>

namespace ferro {
namespace {

constexpr const char* kHeader = "Windows Registry Editor Version 5.00";
constexpr const char* kHeader4 = "REGEDIT4";
constexpr const char* kEol = "\r\n";

std::string quoted(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    return out + '"';
}

// A REG_SZ can be written as "text" only when that form gives back the same
// bytes: one final NUL, none inside, and no line break.
bool printableAsText(const ValueState& v)
{
    if (v.type != kRegSz || v.data.empty() || v.data.back() != 0)
        return false;
    for (std::size_t i = 0; i + 1 < v.data.size(); ++i)
        if (v.data[i] == 0 || v.data[i] == '\r' || v.data[i] == '\n')
            return false;
    return true;
}

std::string dataText(const ValueState& v)
{
    if (printableAsText(v))
        return quoted(std::string(v.data.begin(), v.data.end() - 1));
    char buf[32];
    if (v.type == kRegDword && v.data.size() == 4) {
        const unsigned number = v.data[0] | (v.data[1] << 8) | (v.data[2] << 16) |
                                (static_cast<unsigned>(v.data[3]) << 24);
        std::snprintf(buf, sizeof buf, "dword:%08x", number);
        return buf;
    }
    std::string out;
    if (v.type == 3) {
        out = "hex:";
    } else {
        std::snprintf(buf, sizeof buf, "hex(%x):", static_cast<unsigned>(v.type));
        out = buf;
    }
    for (std::size_t i = 0; i < v.data.size(); ++i) {
        std::snprintf(buf, sizeof buf, i ? ",%02x" : "%02x", v.data[i]);
        out += buf;
    }
    return out;
}

// Quoted text for a message: long input is cut, so that a bad 100 MB line does not
// make a 100 MB message.
std::string quotedForMessage(std::string_view text)
{
    constexpr std::size_t kMax = 40;
    std::string out = "\"";
    out += text.substr(0, kMax);
    out += text.size() <= kMax ? "\"" : "...\"";
    return out;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool allHex(std::string_view text)
{
    for (char c : text)
        if (hexDigit(c) < 0)
            return false;
    return true;
}

unsigned long hexNumber(std::string_view digits)
{
    unsigned long number = 0;
    for (char c : digits)
        number = number * 16 + static_cast<unsigned long>(hexDigit(c));
    return number;
}

std::string_view trimmed(std::string_view text)
{
    const std::size_t a = text.find_first_not_of(" \t");
    if (a == std::string_view::npos)
        return {};
    return text.substr(a, text.find_last_not_of(" \t") - a + 1);
}

// Reads one line of the file at a time, joining hex lines continued with '\'.
// Every character is looked at a bounded number of times, so the time is
// linear in the file's size, also for a value of many continued lines.
class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {}

    void parse(const std::function<void(const RegLine&)>& visit)
    {
        std::string line;
        if (!nextLine(line) || (line != kHeader && line != kHeader4))
            fail("the first line must be \"" + std::string(kHeader) + "\"");
        bool haveKey = false;
        RootKey root = RootKey::LocalMachine;
        std::string keyPath;
        while (nextLine(line)) {
            if (line.empty() || line[0] == ';')
                continue;
            if (line[0] == '[') {
                parseKeyLine(line, root, keyPath);
                haveKey = true;
                visit(RegLine{lineNo_, line, root, keyPath, nullptr});
                continue;
            }
            if (!haveKey)
                fail("a value comes before any [key] line");
            const RegEntry entry = parseValueLine(line, root, keyPath);
            visit(RegLine{lineNo_, line, root, keyPath, &entry});
        }
    }

private:
    [[noreturn]] void fail(const std::string& why) const { throw RegParseError(lineNo_, why); }

    bool nextLine(std::string& line)
    {
        if (pos_ >= text_.size())
            return false;
        line.clear();
        lineNo_ = nextLineNo_;
        bool hex = false;
        while (pos_ < text_.size()) {
            std::size_t end = text_.find('\n', pos_);
            if (end == std::string_view::npos)
                end = text_.size();
            std::string_view part = text_.substr(pos_, end - pos_);
            pos_ = end + 1;
            ++nextLineNo_;
            if (!part.empty() && part.back() == '\r')
                part.remove_suffix(1);
            if (line.empty()) {
                hex = isHexLine(part);  // the first line says what the value is
            } else {
                // Continuation lines of a long hex value start with blanks.
                part.remove_prefix(std::min(part.find_first_not_of(" \t"), part.size()));
            }
            line += part;
            const bool continued = hex && !line.empty() && line.back() == '\\';
            if (!continued)
                break;
            line.pop_back();
        }
        // Trailing blanks mean nothing.
        while (!line.empty() && (line.back() == ' ' || line.back() == '\t'))
            line.pop_back();
        return true;
    }

    static bool isHexLine(std::string_view line)
    {
        const std::size_t eq = line.rfind("=hex");
        return eq != std::string_view::npos && line.find('"', eq) == std::string_view::npos;
    }

    void parseKeyLine(const std::string& line, RootKey& root, std::string& keyPath) const
    {
        if (line.back() != ']')
            fail("a key line must end with ']'");
        const std::string inner = line.substr(1, line.size() - 2);
        if (!inner.empty() && inner[0] == '-')
            fail("deleting a whole key is not supported");
        const std::size_t slash = inner.find('\\');
        const std::string rootText = inner.substr(0, slash);
        if (!parseRootName(rootText, root)) {
            const std::string shown = quotedForMessage(rootText);
            fail("unknown root " + shown + " (only HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER)");
        }
        keyPath = slash == std::string::npos ? "" : inner.substr(slash + 1);
        if (keyPath.empty() || keyPath.front() == '\\' || keyPath.back() == '\\' ||
            keyPath.find("\\\\") != std::string::npos) {
            const std::string shown = quotedForMessage(keyPath);
            fail("the key path " + shown + " is empty or has an empty level");
        }
    }

    // Reads a quoted text starting at line[i] == '"'; i ends after the closing quote.
    std::string parseQuoted(std::string_view line, std::size_t& i) const
    {
        std::string out;
        for (++i; i < line.size(); ++i) {
            const char c = line[i];
            if (c == '"') {
                ++i;
                return out;
            }
            if (c == '\\') {
                if (i + 1 >= line.size() || (line[i + 1] != '\\' && line[i + 1] != '"'))
                    fail("only \\\\ and \\\" may follow a backslash inside quotes");
                out += line[++i];
            } else {
                out += c;
            }
        }
        fail("a quoted text is not closed");
    }

    RegEntry parseValueLine(std::string_view line, RootKey root, const std::string& keyPath) const
    {
        RegEntry entry{ValuePath{root, keyPath, {}}, std::nullopt};
        std::size_t i = 0;
        if (line[0] == '@') {
            i = 1;
        } else if (line[0] == '"') {
            entry.path.valueName = parseQuoted(line, i);
        } else {
            fail("expected \"Name\"=... or @=...");
        }
        if (i >= line.size() || line[i] != '=')
            fail("expected '=' after the value name");
        const std::string_view rest = line.substr(i + 1);
        if (rest == "-")
            return entry;  // delete this value

        ValueState state;
        state.present = true;
        if (!rest.empty() && rest[0] == '"') {
            std::size_t j = 0;
            const std::string text = parseQuoted(rest, j);
            if (j != rest.size())
                fail("unexpected text after the closing quote");
            state.type = kRegSz;
            state.data.assign(text.begin(), text.end());
            state.data.push_back(0);
        } else if (rest.substr(0, 6) == "dword:") {
            const std::string_view digits = rest.substr(6);
            if (digits.empty() || digits.size() > 8 || !allHex(digits))
                fail("dword: takes one to eight hexadecimal digits");
            const unsigned long number = hexNumber(digits);
            state.type = kRegDword;
            for (int shift = 0; shift < 32; shift += 8)
                state.data.push_back(static_cast<std::uint8_t>(number >> shift));
        } else if (rest.substr(0, 3) == "hex") {
            const std::size_t colon = rest.find(':');
            if (colon == 3) {
                state.type = 3;
            } else {
                const std::string_view typeText =
                    colon == std::string_view::npos ? std::string_view() : rest.substr(3, colon - 3);
                if (typeText.size() < 3 || typeText.size() > 10 || typeText.front() != '(' ||
                    typeText.back() != ')' || !allHex(typeText.substr(1, typeText.size() - 2)))
                    fail("expected hex: or hex(N): with N in hexadecimal");
                state.type = static_cast<std::uint32_t>(hexNumber(typeText.substr(1, typeText.size() - 2)));
            }
            state.data = parseHexBytes(rest.substr(colon + 1));
        } else {
            const std::string shown = quotedForMessage(rest);
            fail("unknown data " + shown + ": expected \"text\", dword:, hex: or -");
        }
        entry.state = std::move(state);
        return entry;
    }

    Bytes parseHexBytes(std::string_view list) const
    {
        Bytes bytes;
        if (list.empty())
            return bytes;
        bytes.reserve(list.size() / 3 + 1);
        std::size_t start = 0;
        while (true) {
            const std::size_t end = list.find(',', start);
            const std::string_view item =
                trimmed(list.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
            if (item.size() != 2 || !allHex(item)) {
                const std::string shown = quotedForMessage(item);
                fail(shown + " is not a byte of two hexadecimal digits");
            }
            bytes.push_back(static_cast<std::uint8_t>(hexDigit(item[0]) * 16 + hexDigit(item[1])));
            if (end == std::string_view::npos)
                return bytes;
            start = end + 1;
        }
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    int lineNo_ = 0;
    int nextLineNo_ = 1;
};

// The registry editor saves UTF-16LE by default; the values we handle are
// single-byte text, so bring such a file down to single bytes (into
// `converted`). Single-byte text is read where it lies.
std::string_view singleByteText(const std::string& raw, std::string& converted)
{
    if (raw.size() >= 3 && raw.compare(0, 3, "\xEF\xBB\xBF") == 0)
        return std::string_view(raw).substr(3);
    if (raw.size() < 2 || raw[0] != '\xFF' || raw[1] != '\xFE')
        return raw;
    converted.reserve(raw.size() / 2);
    int line = 1;
    for (std::size_t i = 2; i + 1 < raw.size(); i += 2) {
        const unsigned unit = static_cast<unsigned char>(raw[i]) | (static_cast<unsigned char>(raw[i + 1]) << 8);
        if (unit > 0xFF)
            throw RegParseError(line, "a character outside the single-byte range");
        if (unit == '\n')
            ++line;
        converted += static_cast<char>(unit);
    }
    return converted;
}

}  // namespace

RegParseError::RegParseError(int line, const std::string& what)
    : std::runtime_error("line " + std::to_string(line) + ": " + what), line_(line)
{
}

std::string writeRegFile(const std::vector<RegEntry>& entries)
{
    // Keys in the order they first appear; the values of one key together.
    std::vector<std::string> sections;
    std::unordered_map<std::string, std::size_t> sectionOf;  // folded key line -> index
    for (const RegEntry& e : entries) {
        const std::string keyLine = std::string("[") + rootName(e.path.root) + "\\" + e.path.keyPath + "]";
        const auto [it, added] = sectionOf.try_emplace(foldName(keyLine), sections.size());
        if (added)
            sections.push_back(keyLine + kEol);
        const std::string name = e.path.valueName.empty() ? "@" : quoted(e.path.valueName);
        const bool present = e.state && e.state->present;
        sections[it->second] += name + "=" + (present ? dataText(*e.state) : "-") + kEol;
    }
    std::string out = std::string(kHeader) + kEol;
    for (const std::string& section : sections)
        out += kEol + section;
    return out;
}

void readRegLines(const std::string& text, const std::function<void(const RegLine&)>& visit)
{
    std::string converted;
    Parser(singleByteText(text, converted)).parse(visit);
}

void readRegFile(const std::string& text, const std::function<void(const RegEntry&)>& take)
{
    readRegLines(text, [&](const RegLine& line) {
        if (line.entry)
            take(*line.entry);
    });
}

std::vector<RegEntry> readRegFile(const std::string& text)
{
    std::vector<RegEntry> entries;
    readRegFile(text, [&](const RegEntry& e) { entries.push_back(e); });
    return entries;
}

ApplyResult applyRegFile(RegistryBackend& backend, const std::string& text)
{
    // The whole file is read first, so that bad input changes nothing even
    // where the backend keeps each write as it is made; then it is read again
    // as it is applied, so that no copy of its entries is held.
    readRegFile(text, [](const RegEntry&) {});
    ChangeSet changes(backend);
    readRegFile(text, [&](const RegEntry& e) { changes.apply(e); });
    return changes.finish();
}

std::string regDataText(const ValueState& value)
{
    return dataText(value);
}

}  // namespace ferro
