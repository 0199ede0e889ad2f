#include "registry/RegFile.h"

#include <cstdio>

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

// Reads one line of the file at a time, joining hex lines continued with '\'.
class Parser {
public:
    explicit Parser(std::string text) : text_(std::move(text)) {}

    std::vector<RegEntry> parse()
    {
        std::vector<RegEntry> entries;
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
                continue;
            }
            if (!haveKey)
                fail("a value comes before any [key] line");
            entries.push_back(parseValueLine(line, root, keyPath));
        }
        return entries;
    }

private:
    [[noreturn]] void fail(const std::string& why) const { throw RegParseError(lineNo_, why); }

    bool nextLine(std::string& line)
    {
        if (pos_ >= text_.size())
            return false;
        line.clear();
        lineNo_ = nextLineNo_;
        while (pos_ < text_.size()) {
            std::size_t end = text_.find('\n', pos_);
            if (end == std::string::npos)
                end = text_.size();
            std::string part = text_.substr(pos_, end - pos_);
            pos_ = end + 1;
            ++nextLineNo_;
            if (!part.empty() && part.back() == '\r')
                part.pop_back();
            // Continuation lines of a long hex value start with blanks.
            if (!line.empty())
                part.erase(0, part.find_first_not_of(" \t") == std::string::npos ? part.size() : part.find_first_not_of(" \t"));
            line += part;
            const bool continued = !line.empty() && line.back() == '\\' && isHexLine(line);
            if (!continued)
                break;
            line.pop_back();
        }
        // Trailing blanks mean nothing.
        while (!line.empty() && (line.back() == ' ' || line.back() == '\t'))
            line.pop_back();
        return true;
    }

    static bool isHexLine(const std::string& line)
    {
        const std::size_t eq = line.rfind("=hex");
        return eq != std::string::npos && line.find('"', eq) == std::string::npos;
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
        if (!parseRootName(rootText, root))
            fail("unknown root \"" + rootText + "\" (only HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER)");
        keyPath = slash == std::string::npos ? "" : inner.substr(slash + 1);
        if (keyPath.empty() || keyPath.front() == '\\' || keyPath.back() == '\\' ||
            keyPath.find("\\\\") != std::string::npos)
            fail("the key path \"" + keyPath + "\" is empty or has an empty level");
    }

    // Reads a quoted text starting at line[i] == '"'; i ends after the closing quote.
    std::string parseQuoted(const std::string& line, std::size_t& i) const
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

    RegEntry parseValueLine(const std::string& line, RootKey root, const std::string& keyPath) const
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
        const std::string rest = line.substr(i + 1);
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
        } else if (rest.rfind("dword:", 0) == 0) {
            const std::string digits = rest.substr(6);
            if (digits.empty() || digits.size() > 8 ||
                digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
                fail("dword: takes one to eight hexadecimal digits");
            const unsigned long number = std::stoul(digits, nullptr, 16);
            state.type = kRegDword;
            for (int shift = 0; shift < 32; shift += 8)
                state.data.push_back(static_cast<std::uint8_t>(number >> shift));
        } else if (rest.rfind("hex", 0) == 0) {
            std::size_t colon = rest.find(':');
            if (colon == 3) {
                state.type = 3;
            } else {
                const std::string typeText = colon == std::string::npos ? "" : rest.substr(3, colon - 3);
                if (typeText.size() < 3 || typeText.front() != '(' || typeText.back() != ')' ||
                    typeText.size() > 10 ||
                    typeText.find_first_not_of("0123456789abcdefABCDEF", 1) != typeText.size() - 1)
                    fail("expected hex: or hex(N): with N in hexadecimal");
                state.type = static_cast<std::uint32_t>(std::stoul(typeText.substr(1, typeText.size() - 2), nullptr, 16));
            }
            state.data = parseHexBytes(rest.substr(colon + 1));
        } else {
            fail("unknown data \"" + rest + "\": expected \"text\", dword:, hex: or -");
        }
        entry.state = std::move(state);
        return entry;
    }

    Bytes parseHexBytes(const std::string& list) const
    {
        Bytes bytes;
        if (list.empty())
            return bytes;
        std::size_t start = 0;
        while (true) {
            std::size_t end = list.find(',', start);
            std::string item = list.substr(start, end == std::string::npos ? std::string::npos : end - start);
            const std::size_t a = item.find_first_not_of(" \t");
            const std::size_t b = item.find_last_not_of(" \t");
            item = a == std::string::npos ? "" : item.substr(a, b - a + 1);
            if (item.size() != 2 || item.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
                fail("\"" + item + "\" is not a byte of two hexadecimal digits");
            bytes.push_back(static_cast<std::uint8_t>(std::stoul(item, nullptr, 16)));
            if (end == std::string::npos)
                return bytes;
            start = end + 1;
        }
    }

    std::string text_;
    std::size_t pos_ = 0;
    int lineNo_ = 0;
    int nextLineNo_ = 1;
};

// The registry editor saves UTF-16LE by default; the values we handle are
// single-byte text, so bring such a file down to single bytes.
std::string singleByteText(const std::string& raw)
{
    if (raw.size() >= 3 && raw.compare(0, 3, "\xEF\xBB\xBF") == 0)
        return raw.substr(3);
    if (raw.size() < 2 || raw[0] != '\xFF' || raw[1] != '\xFE')
        return raw;
    std::string out;
    int line = 1;
    for (std::size_t i = 2; i + 1 < raw.size(); i += 2) {
        const unsigned unit = static_cast<unsigned char>(raw[i]) | (static_cast<unsigned char>(raw[i + 1]) << 8);
        if (unit > 0xFF)
            throw RegParseError(line, "a character outside the single-byte range");
        if (unit == '\n')
            ++line;
        out += static_cast<char>(unit);
    }
    return out;
}

}  // namespace

RegParseError::RegParseError(int line, const std::string& what)
    : std::runtime_error("line " + std::to_string(line) + ": " + what), line_(line)
{
}

std::string writeRegFile(const std::vector<RegEntry>& entries)
{
    // Keys in the order they first appear; the values of one key together.
    std::vector<std::pair<std::string, std::string>> sections;  // folded key, text
    for (const RegEntry& e : entries) {
        const std::string keyLine = std::string("[") + rootName(e.path.root) + "\\" + e.path.keyPath + "]";
        const std::string folded = foldName(keyLine);
        auto it = sections.begin();
        while (it != sections.end() && it->first != folded)
            ++it;
        if (it == sections.end())
            it = sections.insert(sections.end(), {folded, keyLine + kEol});
        const std::string name = e.path.valueName.empty() ? "@" : quoted(e.path.valueName);
        const bool present = e.state && e.state->present;
        it->second += name + "=" + (present ? dataText(*e.state) : "-") + kEol;
    }
    std::string out = std::string(kHeader) + kEol;
    for (const auto& section : sections)
        out += kEol + section.second;
    return out;
}

std::vector<RegEntry> readRegFile(const std::string& text)
{
    return Parser(singleByteText(text)).parse();
}

std::vector<ApplyFailure> applyRegEntries(RegistryBackend& backend,
                                          const std::vector<RegEntry>& entries)
{
    std::vector<ApplyFailure> failures;
    for (const RegEntry& e : entries) {
        const bool present = e.state && e.state->present;
        const Status status = present ? writeValue(backend, e.path, e.state->type, e.state->data)
                                      : deleteValue(backend, e.path);
        if (status != kStatusOk)
            failures.push_back({e.path, status});
    }
    return failures;
}

std::vector<RegEntry> captureState(RegistryBackend& backend, const std::vector<ValuePath>& paths,
                                   std::vector<ApplyFailure>& unreadable)
{
    std::vector<RegEntry> entries;
    for (const ValuePath& path : paths) {
        ValueState state;
        const Status status = readValue(backend, path, state);
        if (status == kStatusOk || status == kStatusNotFound)
            entries.push_back({path, state});
        else
            unreadable.push_back({path, status});
    }
    return entries;
}

std::string fullValuePath(const ValuePath& path)
{
    return std::string(rootName(path.root)) + "\\" + path.keyPath + "\\" + path.valueName;
}

std::string regDataText(const ValueState& value)
{
    return dataText(value);
}

}  // namespace ferro
