#pragma once
// The backup the wizard (and `ferrowinder-cli apply`) takes before a boost,
// and the restore that uses it.
//
// The Backup folder holds Backup.nbf (the marker), Backup.reg (the values the
// plan writes, as they stood) and, while Backup.reg holds nothing a restore
// would need to undo, Backup.idle. A boost removes Backup.idle before it
// writes: from then on Backup.reg is the state from before a boost not yet
// undone, which the next backup keeps and the restore puts back.
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "registry/RegFile.h"
#include "registry/RegistryBackend.h"
#include "tuning/TuningPlan.h"

namespace ferro {

class BackupFolder;

// The marker file's name, as the wizard names it to the user too.
constexpr const char* kMarkerFileName = "Backup.nbf";
// The marker line of Backup.nbf (written with CR LF: 69 bytes).
extern const char* const kBackupMarkerLine;

// No backup this program writes comes near this (about 1.2 KB); a larger
// Backup.reg is not one of ours and is refused before it is read.
constexpr std::size_t kMaxBackupBytes = 64 * 1024;

std::string backupFolder(const std::string& programFolder);  // <folder>/Backup
std::string backupRegPath(const std::string& programFolder);   // .../Backup.reg

struct BackupResult {
    bool ok = false;
    bool keptEarlier = false;  // Backup.reg was kept: it precedes a boost not yet undone
    std::string failure;       // why, naming the path, when !ok
};

// Creates the Backup folder when missing, rewrites Backup.nbf, and takes
// Backup.reg with the current state of every value the plan writes, unless
// the Backup.reg there precedes a boost not yet undone. Nothing is written
// through a symbolic link or junction.
BackupResult writeBackup(RegistryBackend& backend, const std::string& programFolder);

// Why the wizard takes no backup while its run is armed or under way: the
// values would be the boost's own.
extern const char* const kBackupDuringRunText;

// Taken before every write of a boost: marks Backup.reg, if there is one, as
// the state from before a boost not yet undone (without a Backup folder there
// is nothing to mark), and holds the Backup folder's lock until destroyed or
// released. The writes are made while it is held, so that a restore in
// another process, which takes the same lock, comes wholly before the mark or
// wholly after the writes: never in between, where it would mark the backup
// as having nothing to undo under a boost still being written.
class BoostMark {
public:
    explicit BoostMark(const std::string& programFolder);
    ~BoostMark();
    BoostMark(const BoostMark&) = delete;
    BoostMark& operator=(const BoostMark&) = delete;
    const BackupResult& result() const { return result_; }
    void release();

private:
    std::unique_ptr<BackupFolder> folder_;
    BackupResult result_;
};

struct RestoreResult {
    bool usedBackup = false;            // Backup.reg was found
    bool nothingToUndo = false;         // no boost since Backup.reg was taken or restored
    std::vector<Failure> failures; // values that could not be restored
    std::string error;                  // the backup could not be used, or not marked as restored
                                        // (a clause naming the path, no full stop)
    bool ok() const { return failures.empty() && error.empty(); }
};

// Puts back what Backup.reg records, when a boost has been made since it was
// taken or last restored; afterwards Backup.reg is kept, marked as restored,
// so restoring again changes nothing. Without a backup, deletes the default
// restore list. A Backup.reg that names any key or value other than the
// plan's own (each at its root) is refused as a whole and nothing is written.
// Restoring one part only puts back (or deletes) that part's values and
// leaves the mark alone: the other part may still wait to be restored, and
// putting back the same values again changes nothing.
RestoreResult restoreRegistry(RegistryBackend& backend, const std::string& programFolder,
                              PlanPart part = PlanPart::Both);

}  // namespace ferro
