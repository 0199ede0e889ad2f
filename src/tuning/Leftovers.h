#pragma once
// Settings that old tuning guides and tools left behind, read as they stand
// now and judged by what Microsoft documents about them (docs/leftovers.md
// has the table with its sources): a few limit networking on today's
// Windows, the rest do nothing harmful. The registry rows among the harmful
// ones can be put back to their defaults, with their earlier state kept in
// Backup\Leftovers.reg for an undo.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/WindowsVersion.h"
#include "registry/RegFile.h"
#include "registry/RegistryBackend.h"
#include "tuning/ChangeLog.h"
#include "tuning/ValueEffects.h"

namespace ferro {

class WmiQuery;

enum class LeftoverWhere {
    Registry,         // a plain value: read here, and put back by the fix when harmful
    RegistryHarmless, // a plain value with no documented harm: read and reported only
    Autotuning,       // WMI MSFT_NetTCPSetting
    Chimney,          // WMI MSFT_NetOffloadGlobalSetting
    AdapterKeyword,   // each adapter's advanced properties: read with their own command
};

enum class LeftoverVerdict {
    Harmless,         // absent, the default, or a value documented as harmless
    Harmful,          // a value documented to limit networking
    Undocumented,     // set, but to something no source describes (a type or value)
    NotOnThisSystem,  // this system has no such setting
    Unreadable,       // this system should have it, but it could not be read
    NotRead,          // read with the row's own command, not by this tool
};

struct LeftoverRow {
    const char* name;
    LeftoverWhere where;
    RootKey root;          // registry rows
    const char* keyPath;   // registry rows
    const char* harmfulWhen;
    const char* effect;    // the documented effect (or why it is harmless)
    const char* defaultText;
    Confidence confidence; // of the effect
    const char* label;     // the label as the table gives it, with its scope
    const char* sources;
    const char* fixCommand;  // the documented command that puts it right, for rows the fix does not write
    // Registry rows the fix writes: the default it puts back (nullopt: delete the value).
    std::optional<std::uint32_t> defaultDword;
    // Judges a REG_DWORD datum of a registry row.
    LeftoverVerdict (*judge)(std::uint32_t);
};

const std::vector<LeftoverRow>& leftoverRows();
ValuePath valuePathOf(const LeftoverRow& row);  // registry rows
// The registry values the fix may write, in table order.
std::vector<ValuePath> fixableLeftoverValues();

// "harmless", "harmful", "not documented", "not on this system", "could not be read", "not read".
const char* verdictLabel(LeftoverVerdict verdict);

struct LeftoverFinding {
    const LeftoverRow* row;
    LeftoverVerdict verdict;
    std::string now;          // what is set now, in words or as .reg data
    std::string note;         // why: the policy in force, what could not be read, ...
    bool byGroupPolicy = false;
    ValueState state;         // registry rows: the value as read
};

struct LeftoverReport {
    std::vector<LeftoverFinding> findings;  // one per row, in table order
    bool anyHarmful() const;
    bool anyUnreadable() const;
};

// Whether this Windows has the network settings classes of WMI (Windows 8
// and later); false off Windows.
bool hasNetworkSettingsClasses(const std::optional<WindowsVersion>& version);

// Reads every row. `backend` may be null (no store yet: every value is
// absent); the WMI rows are asked only where `version` should have them.
LeftoverReport readLeftovers(RegistryBackend* backend, WmiQuery& wmi, const std::optional<WindowsVersion>& version);

// The harmful registry rows of a report, each with the default it goes back to.
std::vector<ValueChange> plannedLeftoverFixes(const LeftoverReport& report);

struct LeftoverFixResult {
    std::vector<ValueChange> changes;  // made (or, after failures, attempted)
    std::vector<Failure> failures;   // values that could not be written
    std::string error;                    // nothing was changed: why
    bool ok() const { return failures.empty() && error.empty(); }
};

// Backup\Leftovers.reg's name, as the user is told it.
std::string leftoversBackupPath(const std::string& programFolder);

// Writes the present state of every harmful registry row to
// Backup\Leftovers.reg (whole or not at all, never through a link, the folder
// locked throughout), then puts their defaults back. Values an earlier fix
// recorded and no undo has put back keep their earlier state in the file.
// When the file cannot be written, nothing is changed.
LeftoverFixResult fixLeftovers(RegistryBackend& backend, const std::string& programFolder);

// Puts back exactly the values Backup\Leftovers.reg records, then removes
// it. A file that names any other value, or sets anything but a REG_DWORD,
// is refused as a whole and nothing is written. Without the file, nothing is
// done and `nothingToUndo` says so.
struct LeftoverUndoResult : LeftoverFixResult {
    bool nothingToUndo = false;
};
LeftoverUndoResult undoLeftoverFix(RegistryBackend& backend, const std::string& programFolder);

}  // namespace ferro
