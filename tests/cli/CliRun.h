#pragma once
// ferrowinder-cli run inside the test's process: what it is typed, and what
// it says on each stream.
#include <algorithm>
#include <string>
#include <vector>

#include "cli/Commands.h"

namespace ferro::test {

class StringSink : public TextSink {
public:
    void write(std::string_view text) override { text_ += text; }
    const std::string& str() const { return text_; }

private:
    std::string text_;
};

class StringSource : public TextSource {
public:
    explicit StringSource(std::string text = {}) : text_(std::move(text)) {}
    bool readLine(std::string& line) override
    {
        line.clear();
        if (at_ >= text_.size())
            return false;
        const std::size_t end = std::min(text_.find('\n', at_), text_.size());
        line = text_.substr(at_, end - at_);
        at_ = end + 1;
        return true;
    }
    bool readAll(std::string& text) override
    {
        text += text_.substr(std::min(at_, text_.size()));
        at_ = text_.size();
        return true;
    }

private:
    std::string text_;
    std::size_t at_ = 0;
};

// How many times `part` is in `text`.
inline std::size_t occurrences(const std::string& text, const std::string& part)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

struct CliResult {
    int code;
    std::string out;
    std::string err;
};

// The tool with `args`, then --registry `store` unless it is empty; `typed`
// is its standard input, a terminal when `terminal`.
inline CliResult runTool(std::vector<std::string> args, const std::string& store = {},
                         const std::string& typed = {}, bool terminal = false)
{
    if (!store.empty())
        args.insert(args.end(), {"--registry", store});
    StringSource in(typed);
    StringSink out, err;
    const int code = runCli(args, {in, out, err, terminal});
    return {code, out.str(), err.str()};
}

}  // namespace ferro::test
