#pragma once
// What the command-line tool's changes add to the change log: the values a
// command may change are read before it and after it, and each that differs
// is logged. A log that cannot be written never undoes or stops the change:
// the tool says so and goes on.
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "registry/RegFile.h"

namespace ferro {

class ChangeRecording {
public:
    ChangeRecording(RegistryBackend& backend, std::vector<ValuePath> values);
    // Logs what changed since construction under `command`; says on `err`
    // when the log could not be written.
    void log(const std::string& programFolder, const std::string& command, TextSink& err);

private:
    RegistryBackend& backend_;
    std::vector<ValuePath> values_;
    std::vector<RegEntry> before_;
};

}  // namespace ferro
