#pragma once
// Where ferrowinder-cli's text goes and where it reads what is typed or piped
// in. Not std::ostream: on Windows the C++ streams and their locales would be
// most of the tool's size.
#include <concepts>
#include <cstdio>
#include <string>
#include <string_view>

namespace ferro {

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

class TextSource {
public:
    virtual ~TextSource() = default;
    // The next line without its '\n'; false at the end with nothing read.
    virtual bool readLine(std::string& line) = 0;
    // Appends everything up to the end; false when reading failed.
    virtual bool readAll(std::string& text) = 0;
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

// Appends what is left in `file` to `text`; false when reading failed.
bool readToEnd(std::FILE* file, std::string& text);

}  // namespace ferro
