#pragma once
// ferrowinder-cli: the boost, the backup format and the restore from a terminal.
#include <concepts>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace ferro {

// Exit codes, one meaning each and the same for every command, so that a
// script can tell "differs" from "failed".
constexpr int kExitOk = 0;            // done; check: the registry holds the plan
constexpr int kExitNotAsPlanned = 1;  // check: the registry differs from the plan
constexpr int kExitUsage = 2;         // bad usage or unreadable input
constexpr int kExitFailed = 3;        // the registry, the store or a file could not be read or written

// Where the tool's text goes: standard output or error, or a string in tests.
// Not std::ostream: on Windows the C++ streams and their locales would be
// most of the tool's size.
class TextSink {
public:
    virtual ~TextSink() = default;
    virtual void write(std::string_view text) = 0;

    TextSink& operator<<(std::string_view text)
    {
        write(text);
        return *this;
    }
    TextSink& operator<<(char c) { return *this << std::string_view(&c, 1); }
    template <std::integral Number>
        requires(!std::same_as<Number, char> && !std::same_as<Number, bool>)
    TextSink& operator<<(Number n)
    {
        return *this << std::string_view(std::to_string(n));
    }
};

// Where the tool reads what is typed or piped in.
class TextSource {
public:
    virtual ~TextSource() = default;
    // The next line without its '\n'; false at the end with nothing read.
    virtual bool readLine(std::string& line) = 0;
    // Appends everything up to the end; false when reading failed.
    virtual bool readAll(std::string& text) = 0;
};

// Text in a string: what a test types in, and what it reads back.
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
    bool readLine(std::string& line) override;
    bool readAll(std::string& text) override;

private:
    std::string text_;
    std::size_t at_ = 0;
};

// The process's standard input, output or error. Output is flushed at
// once, so that a prompt shows before the answer is read. After a failed
// write nothing more is written (it would leave a gap in the middle), and
// failure() says why.
class StdioSink : public TextSink {
public:
    explicit StdioSink(std::FILE* file) : file_(file) {}
    void write(std::string_view text) override;
    const std::string& failure() const { return failure_; }

private:
    std::FILE* file_;
    std::string failure_;
};

class StdioSource : public TextSource {
public:
    explicit StdioSource(std::FILE* file) : file_(file) {}
    bool readLine(std::string& line) override;
    bool readAll(std::string& text) override;

private:
    std::FILE* file_;
};

struct CliStreams {
    TextSource& in;
    TextSink& out;
    TextSink& err;
    bool interactive;  // standard input is a terminal
};

// args excludes the program name.
int runCli(const std::vector<std::string>& args, CliStreams io);

}  // namespace ferro
