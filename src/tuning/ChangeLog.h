#pragma once
// The change log: every value the command-line tool's apply, restore,
// leftovers --fix and leftovers --undo change, one line each (time, command,
// value, before, after), appended to Backup\Changes.log as tab-separated text.
// The windows log nothing.
#include <ctime>
#include <string>
#include <vector>

#include "registry/RegFile.h"
#include "registry/RegistryBackend.h"

namespace ferro {

// One value as it was and as it was left.
struct ValueChange {
    ValuePath path;
    ValueState before;
    ValueState after;
};

// No log this program writes grows past this: older lines are dropped first.
constexpr std::size_t kMaxChangeLogBytes = 1024 * 1024;

std::string changeLogPath(const std::string& programFolder);

// The values whose state differs between two captures of the same values.
std::vector<ValueChange> changesBetween(const std::vector<RegEntry>& before, const std::vector<RegEntry>& after);

// "absent", or the data as a .reg file writes it.
std::string stateText(const ValueState& state);

// Appends one line per change, each stamped with `when` (UTC). Nothing to
// append is no failure. False with `why` when the log could not be written:
// the caller says so and carries on, since the change was made.
bool appendToChangeLog(const std::string& programFolder, const std::string& command,
                       const std::vector<ValueChange>& changes, std::string& why,
                       std::time_t when = std::time(nullptr));

// The whole log; `none` when nothing was logged yet.
bool readChangeLog(const std::string& programFolder, std::string& text, bool& none, std::string& why);

}  // namespace ferro
