#pragma once
// ferrowinder-cli: the boost, the backup format and the restore from a terminal.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cli/Streams.h"
#include "registry/RegistryBackend.h"

namespace ferro {

// Exit codes, one meaning each and the same for every command, so that a
// script can tell "differs" from "failed".
constexpr int kExitOk = 0;            // done; check: the registry holds the plan
constexpr int kExitNotAsPlanned = 1;  // check: the registry differs from the plan
constexpr int kExitUsage = 2;         // bad usage or unreadable input
constexpr int kExitFailed = 3;        // the registry, the store or a file could not be read or written

// Opens the registry store a command works on (the path --registry gave).
using RegistryOpener = std::function<std::unique_ptr<RegistryBackend>(const std::string& storePath)>;

struct CliStreams {
    TextSource& in;
    TextSink& out;
    TextSink& err;
    bool interactive;  // standard input is a terminal
    // Empty: the system's registry (on Windows) or store. A test gives a
    // backend of its own, one that fails when it is told to, say.
    RegistryOpener openRegistry = {};
};

// args excludes the program name.
int runCli(const std::vector<std::string>& args, CliStreams io);

}  // namespace ferro
