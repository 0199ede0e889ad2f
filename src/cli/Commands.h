#pragma once
// ferrowinder-cli: the boost, the backup format and the restore from a terminal.
#include <iosfwd>
#include <string>
#include <vector>

namespace ferro {

// Exit codes.
constexpr int kExitOk = 0;
constexpr int kExitWriteFailed = 1;
constexpr int kExitNotAsPlanned = 1;  // check: the registry differs from the plan
constexpr int kExitUsage = 2;

struct CliStreams {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    bool interactive;  // standard input is a terminal
};

// args excludes the program name.
int runCli(const std::vector<std::string>& args, CliStreams io);

}  // namespace ferro
