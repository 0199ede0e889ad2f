#pragma once
// ferrowinder-cli leftovers and ferrowinder-cli log.
#include <string>

#include "cli/Commands.h"

namespace ferro {

struct LeftoversOptions {
    std::string registry;        // the store file (ignored on Windows)
    std::string format = "text"; // text, json or tsv (the report only)
    bool fix = false;
    bool dryRun = false;         // with fix
    bool undo = false;
};

// The report: exit 0 when nothing harmful is found, 1 when something is
// (even where another row could not be read), 3 when nothing harmful is
// found but a row this system should have could not be read. --fix: 0 when
// nothing harmful remains, 1 when something does (its command is printed).
// --fix and --undo: 3 when a value could not be written or the backup not used.
int runLeftoversCommand(const LeftoversOptions& o, CliStreams& io);

// Prints the change log.
int runLogCommand(const std::string& registry, CliStreams& io);

extern const char* const kLeftoversHelp;
extern const char* const kLogHelp;

}  // namespace ferro
