#include "cli/Streams.h"

#include "platform/TextOutput.h"

namespace ferro {

bool readToEnd(std::FILE* file, std::string& text)
{
    char buffer[1 << 16];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, got);
    return !std::ferror(file);
}

void StdioSink::write(std::string_view text)
{
    if (failure_.empty())
        (void)writeText(file_, text, failure_);
}

bool StdioSource::readLine(std::string& line)
{
    line.clear();
    int c = 0;
    while ((c = std::fgetc(file_)) != EOF && c != '\n')
        line += static_cast<char>(c);
    return c == '\n' || !line.empty();
}

bool StdioSource::readAll(std::string& text)
{
    return readToEnd(file_, text);
}

}  // namespace ferro
