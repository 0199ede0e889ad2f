#include "tuning/Backup.h"

#include "platform/Paths.h"
#include "platform/BackupFolder.h"
#include "tuning/TuningPlan.h"

namespace ferro {

const char* const kBackupMarkerLine =
    "Backup File 1.0. Backup feature structure put in for later purpose.";
const char* const kBackupDuringRunText =
    "no backup is taken while the boost is running, as it would record the boost's own values";

namespace {

const char* const kRegName = "Backup.reg";
const char* const kIdleName = "Backup.idle";
const char* const kIdleText =
    "Backup.reg holds no boost to undo: none was made since it was taken or restored.\r\n";

std::string joinedProblems(const std::vector<std::string>& problems)
{
    std::string text;
    for (std::size_t i = 0; i < problems.size(); ++i)
        text += (i ? "; " : "") + problems[i];
    return text;
}

bool isPlanValue(const ValuePath& path)
{
    for (const ValuePath& v : planValues())
        if (samePlace(v, path))
            return true;
    return false;
}

bool isPlanKey(RootKey root, const std::string& keyPath)
{
    for (const ValuePath& v : planValues())
        if (v.root == root && foldName(v.keyPath) == foldName(keyPath))
            return true;
    return false;
}

// Reads Backup.reg for the restore. It may have been planted or edited, so it
// may bring back the boost's own values and nothing else.
bool readRegBackup(const BackupFolder& folder, std::vector<RegEntry>& entries, std::string& why)
{
    const std::string path = folder.pathOf(kRegName);
    std::string text;
    if (!folder.read(kRegName, kMaxBackupBytes, text, why))
        return false;
    // The first line that names a key or value the boost does not write at
    // that root, as "line N: text".
    std::string foreign;
    entries.clear();
    try {
        readRegLines(text, [&](const RegLine& line) {
            if (line.entry)
                entries.push_back(*line.entry);
            const bool ours = line.entry ? isPlanValue(line.entry->path) : isPlanKey(line.root, line.keyPath);
            if (!ours && foreign.empty()) {
                const std::string_view shown = line.text.substr(0, 200);
                foreign = "line " + std::to_string(line.number) + ": " + std::string(shown) +
                          (shown.size() < line.text.size() ? "..." : "");
            }
        });
    } catch (const RegParseError& e) {
        why = "the backup " + path + " is damaged (" + e.what() + ")";
        return false;
    }
    if (!foreign.empty()) {
        why = "the backup " + path + " names something the boost never writes (" + foreign + "), so it was not used";
        return false;
    }
    return true;
}

// Takes Backup.reg anew. Backup.idle is written first: should the new
// Backup.reg not get written, the one there (if any) was idle too.
bool takeRegBackup(RegistryBackend& backend, BackupFolder& folder, std::vector<std::string>& problems)
{
    std::vector<Failure> unreadable;
    const std::vector<RegEntry> state = captureState(backend, planValues(), unreadable);
    for (const Failure& f : unreadable)
        problems.push_back("cannot read " + fullValuePath(f.path) + ": " + statusText(f.status));
    if (!unreadable.empty())
        return false;
    const std::string text = writeRegFile(state);
    if (text.size() > kMaxBackupBytes) {
        problems.push_back("the values to back up take " + std::to_string(text.size()) +
                           " bytes, more than a backup may (" + std::to_string(kMaxBackupBytes) + ")");
        return false;
    }
    std::string why;
    if (!folder.write(kIdleName, kIdleText, why) || !folder.replace(kRegName, text, why)) {
        problems.push_back(why);
        return false;
    }
    return true;
}

}  // namespace

std::string backupFolder(const std::string& programFolder)
{
    return joinPath(programFolder, "Backup");
}

std::string backupRegPath(const std::string& programFolder)
{
    return joinPath(backupFolder(programFolder), kRegName);
}

BackupResult writeBackup(RegistryBackend& backend, const std::string& programFolder)
{
    BackupResult result;
    BackupFolder folder(programFolder);
    std::string why;
    if (!folder.open(true, why)) {
        result.failure = why;
        return result;
    }

    std::vector<std::string> problems;
    if (!folder.write(kMarkerFileName, std::string(kBackupMarkerLine) + "\r\n", why))
        problems.push_back(why);

    BackupFolder::Kind reg{};
    BackupFolder::Kind idle{};
    if (!folder.checkNotLink(kRegName, why) || !folder.kind(kRegName, reg, why) ||
        !folder.kind(kIdleName, idle, why)) {
        problems.push_back(why);  // nothing is taken over what cannot be told apart
    } else if (reg == BackupFolder::Kind::File && idle == BackupFolder::Kind::Absent) {
        // The state from before a boost not yet undone: a new one would
        // record that boost's values instead. Checked as the restore checks
        // it, so that one it would refuse is not reported as a good backup.
        std::vector<RegEntry> entries;
        if (readRegBackup(folder, entries, why))
            result.keptEarlier = true;
        else
            problems.push_back(why);
    } else {
        takeRegBackup(backend, folder, problems);
    }

    result.ok = problems.empty();
    result.failure = joinedProblems(problems);
    return result;
}

BoostMark::BoostMark(const std::string& programFolder)
    : folder_(std::make_unique<BackupFolder>(programFolder))
{
    std::string why;
    result_.ok = folder_->open(false, why) && (folder_->missing() || folder_->remove(kIdleName, why));
    result_.failure = why;
}

BoostMark::~BoostMark() = default;

void BoostMark::release()
{
    folder_.reset();
}

RestoreResult restoreRegistry(RegistryBackend& backend, const std::string& programFolder, PlanPart part)
{
    RestoreResult result;
    BackupFolder folder(programFolder);
    std::string why;
    BackupFolder::Kind reg = BackupFolder::Kind::Absent;
    if (!folder.open(false, why) || (!folder.missing() && !folder.kind(kRegName, reg, why))) {
        result.error = why + "; nothing was changed";
        return result;
    }
    if (reg == BackupFolder::Kind::Absent) {
        for (const ValuePath& path : defaultRestoreValues()) {
            if (!inPart(part, path.root))
                continue;
            const Status status = deleteValue(backend, path);
            if (status != kStatusOk)
                result.failures.push_back({Failure::Operation::DeleteValue, path, status, {}});
        }
        return result;
    }

    BackupFolder::Kind idle{};
    if (!folder.checkNotLink(kRegName, why) || !folder.kind(kIdleName, idle, why)) {
        result.error = why + "; nothing was changed";
        return result;
    }
    result.usedBackup = true;
    if (idle != BackupFolder::Kind::Absent && part == PlanPart::Both) {
        result.nothingToUndo = true;
        return result;
    }
    std::vector<RegEntry> entries;
    if (!readRegBackup(folder, entries, why)) {
        result.error = why + "; nothing was changed";
        return result;
    }
    std::erase_if(entries, [part](const RegEntry& e) { return !inPart(part, e.path.root); });
    result.failures = applyRegEntries(backend, entries);
    if (!result.failures.empty() || part != PlanPart::Both)
        return result;

    // Kept, marked as restored: a second restore finds nothing to undo, and
    // the next backup records the settings as they are then.
    if (!folder.write(kIdleName, kIdleText, why))
        result.error = "the values were restored, but the backup could not be marked as restored: " + why;
    return result;
}

}  // namespace ferro
