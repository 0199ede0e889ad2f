#pragma once
// The backup the wizard takes before a boost, and the restore that uses it.
#include <string>
#include <vector>

#include "registry/RegFile.h"
#include "registry/RegistryBackend.h"

namespace ferro {

// The marker line of Backup.nbf (written with CR LF: 69 bytes).
extern const char* const kBackupMarkerLine;

std::string backupFolder(const std::string& programFolder);  // <folder>/Backup
std::string markerFilePath(const std::string& programFolder);  // .../Backup.nbf
std::string backupRegPath(const std::string& programFolder);   // .../Backup.reg

struct BackupResult {
    bool ok = false;
    std::string failure;  // why, naming the path, when !ok
};

// Creates the Backup folder when missing, rewrites Backup.nbf, and writes
// Backup.reg with the current state of every value the plan writes, unless a
// Backup.reg already exists (it holds the settings from before the first boost).
BackupResult writeBackup(RegistryBackend& backend, const std::string& programFolder);

struct RestoreResult {
    bool usedBackup = false;            // Backup.reg was found and read
    std::vector<ApplyFailure> failures; // values that could not be restored
    std::string error;                  // the backup could not be read or retired
    std::string retiredTo;              // where the used backup was moved
    bool ok() const { return failures.empty() && error.empty(); }
};

// Puts back what Backup.reg records, or, without a backup, deletes the
// default restore list. A used backup is retired only when all succeeded.
RestoreResult restoreRegistry(RegistryBackend& backend, const std::string& programFolder);

// The text of the box that tells the user what could not be restored.
std::string restoreFailureText(const RestoreResult& result);

}  // namespace ferro
