#pragma once
// Writing the tool's UTF-8 text to standard output or error, so that it shows
// right in a Windows console and a write that fails part-way is noticed.
#include <cstdio>
#include <string>
#include <string_view>

namespace ferro {

// Writes all of `text` to `file` and flushes it. A Windows console gets it as
// UTF-16 (in a console's own code page it would be garbled); files and pipes
// get the bytes. False with `why` set when not everything was written: a pipe
// whose reader has gone or that takes no more (non-blocking), a full disk, a
// console that refused the write.
bool writeText(std::FILE* file, std::string_view text, std::string& why);

}  // namespace ferro
