#pragma once
// What the commands share: the registry they work on, the plan's part they
// were given, and the words for what failed (each line with the tool's name).
#include <memory>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/Options.h"
#include "registry/ValueChanges.h"
#include "tuning/PlanCheck.h"

namespace ferro {

constexpr const char* kProgram = "ferrowinder-cli";

// The registry to write (creating the store when there is none).
std::unique_ptr<RegistryBackend> openRegistryFor(const Options& o, const CliStreams& io);
// The registry to read, without creating a store or its folder: nullptr
// when there is no store yet, so that every value is absent (said on stderr).
std::unique_ptr<RegistryBackend> openForReading(const Options& o, CliStreams& io);

// "the registry", or "the registry store FILE".
std::string registryName(const Options& o);
// "the plan for 57 Kbps", or "the machine part of the plan for 57 Kbps".
std::string planName(const Options& o);
const char* partName(PlanPart part);  // "machine", "user" or "both"

// What apply writes, in the chosen part.
std::vector<RegEntry> writesInPart(const Options& o);
// The values of the chosen part that are not as apply would leave them
// (every one of them when there is no store to read).
std::vector<PlanDifference> differencesInPart(RegistryBackend* backend, const Options& o);
// A value could not be read: it may or may not hold the plan.
bool unreadable(const PlanDifference& d);
// A value's data now, as check quotes it: its .reg text, absent, or why unreadable.
std::string nowText(const PlanDifference& d);

// A whole file; false with the system's reason in `why` when it cannot be read or written.
bool readFile(const std::string& name, std::string& text, std::string& why);
bool writeFile(const std::string& name, const std::string& text, std::string& why);

// "ferrowinder-cli: cannot set PATH: why", one line.
void printFailure(TextSink& err, const Failure& f);
// Writes that failed: a store that refuses every write once, else each value
// (at most a screenful), and what to do when writing was refused.
void printWriteFailures(TextSink& err, const Options& o, const std::vector<Failure>& failures);

}  // namespace ferro
