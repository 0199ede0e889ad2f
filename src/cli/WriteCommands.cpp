// The commands that write: apply, import and restore.
#include <algorithm>
#include <optional>

#include "cli/ChangeRecording.h"
#include "cli/CommandBodies.h"
#include "cli/CommandSupport.h"
#include "platform/DefaultRegistry.h"
#include "platform/Paths.h"
#include "registry/RegFile.h"
#include "registry/modRegistry.h"
#include "tuning/Backup.h"

namespace ferro {
namespace {

int dryRun(const Options& o, CliStreams& io)
{
    auto reading = openForReading(o, io);
    const std::vector<PlanDifference> differences = differencesInPart(reading.get(), o);
    for (const PlanDifference& d : differences)
        io.out << "would change " << fullValuePath(d.path) << ": now " << nowText(d) << ", wanted "
               << regDataText(d.wanted) << '\n';
    io.out << "Applying " << planName(o) << " would change " << differences.size() << " of "
           << writesInPart(o).size() << " values. Nothing was written (--dry-run).\n";
    return kExitOk;
}

// The wizard's YES before the boost (unless --no-backup), and the mark that
// makes a later restore undo this boost, held until the last write is made.
bool backUpBeforeApply(RegistryBackend& backend, const Options& o, CliStreams& io, std::optional<BoostMark>& mark)
{
    const std::string folder = programFolder(o.registry);
    if (!o.noBackup) {
        const BackupResult backup = writeBackup(backend, folder);
        if (!backup.ok) {
            io.err << kProgram << ": the backup could not be taken: " << backup.failure << '\n'
                   << kProgram << ": nothing was written; --no-backup boosts without a backup.\n";
            return false;
        }
        io.out << (backup.keptEarlier ? "Kept the backup from before an earlier boost: "
                                      : "Backed up the current values to ")
               << backupRegPath(folder) << '\n';
    }
    const BackupResult& noted = mark.emplace(folder).result();
    if (!noted.ok) {
        io.err << kProgram << ": " << noted.failure << '\n'
               << kProgram << ": nothing was written: a restore could not undo this boost.\n";
        return false;
    }
    return true;
}

struct PlanWrites {
    int steps = 0;    // the steps of the part
    int written = 0;  // those that wrote a value
    std::vector<Failure> failures;
};

// The steps of the chosen part, as the wizard makes them.
PlanWrites writePlan(RegistryBackend& backend, const Options& o)
{
    PlanWrites result;
    const modRegistry::Registry reg{backend, [&](const Failure& f) { result.failures.push_back(f); }};
    for (const PlanEntry& e : tuningPlan()) {
        if (!inPart(o.part, e.root))
            continue;
        ++result.steps;
        result.written += applyPlanEntry(reg, e, *o.speed) ? 1 : 0;
    }
    return result;
}

// How many of the values that differed before no longer do.
long countChanged(const std::vector<PlanDifference>& before, const std::vector<PlanDifference>& after)
{
    return std::count_if(before.begin(), before.end(), [&](const PlanDifference& b) {
        return std::none_of(after.begin(), after.end(), [&](const PlanDifference& a) { return samePlace(a.path, b.path); });
    });
}

// The command as the change log names it: "apply --speed 57 --part machine".
std::string withPart(const std::string& command, const Options& o)
{
    return o.part == PlanPart::Both ? command : command + " --part " + partName(o.part);
}

// The .reg text to import, checked whole; false (said on stderr) when it
// cannot be read or is not a .reg file.
bool readImport(const std::string& name, CliStreams& io, std::string& text)
{
    std::string why = "standard input could not be read";
    if (!(name == "-" ? io.in.readAll(text) : readFile(name, text, why))) {
        io.err << kProgram << ": cannot read " << name << ": " << why << '\n';
        return false;
    }
    try {
        readRegFile(text, [](const RegEntry&) {});
    } catch (const RegParseError& e) {
        io.err << kProgram << ": " << name << ": " << e.what() << "; nothing was changed\n";
        return false;
    }
    return true;
}

// Asks on the terminal; false when the user does not say yes (or cannot be asked).
bool confirmRestore(CliStreams& io, int& code)
{
    if (!io.interactive) {
        io.err << kProgram << ": restore asks before it changes anything, and there is no terminal "
               << "to ask on; pass --yes to restore without asking.\n";
        code = kExitUsage;
        return false;
    }
    io.out << "Are you sure you want to restore your registry to previous settings? [y/N] ";
    std::string answer;
    io.in.readLine(answer);
    const bool yes = answer == "y" || answer == "Y" || answer == "yes" || answer == "YES" || answer == "Yes";
    if (!yes)
        io.out << "Nothing was changed.\n";
    code = kExitOk;
    return yes;
}

// What a failed restore could not do.
void printRestoreFailure(TextSink& err, const Options& o, const RestoreResult& result)
{
    err << kProgram << ": your registry could not be fully restored.\n";
    printWriteFailures(err, o, result.failures);
    if (!result.error.empty())
        err << kProgram << ": " << result.error << ".\n";
    if (result.usedBackup && !result.failures.empty())
        err << kProgram << ": the backup was kept, so you can try again.\n";
}

std::string restoredText(const RestoreResult& result, const std::string& backup)
{
    if (result.nothingToUndo)
        return "Your registry has been restored. Nothing had to change: no boost was made since the backup " +
               backup + " was taken or restored.";
    if (result.usedBackup)
        return "Your registry has been restored. The values were put back from the backup " + backup + ".";
    return "Your registry has been restored. (There was no backup: the default list of values was deleted.)";
}

}  // namespace

int cmdApply(const Options& o, CliStreams& io)
{
    if (o.dryRun)
        return dryRun(o, io);
    auto backend = openRegistryFor(o, io);
    std::optional<BoostMark> mark;
    // The backup in the program folder is the machine's: one for every
    // account, and only administrators may write there.
    if (o.part != PlanPart::User && !backUpBeforeApply(*backend, o, io, mark))
        return kExitFailed;
    const std::vector<PlanDifference> before = differencesInPart(backend.get(), o);
    ChangeRecording recording(*backend, planValues());
    const PlanWrites writes = writePlan(*backend, o);
    // Logged outside the Backup folder's lock, which the mark holds until now.
    mark.reset();
    recording.log(programFolder(o.registry), withPart("apply --speed " + std::to_string(*o.speed), o), io.err);
    if (!writes.failures.empty()) {
        printWriteFailures(io.err, o, writes.failures);
        io.err << kProgram << ": some values could not be written (see the messages above).\n";
        return kExitFailed;
    }
    // Counted by reading back: a value written with the data it had is not a change.
    const long changed = countChanged(before, differencesInPart(backend.get(), o));
    io.out << "Applied " << planName(o) << ": " << writes.written << " of " << writes.steps
           << " steps wrote a value, " << changed << (changed == 1 ? " value" : " values") << " changed.\n";
    return kExitOk;
}

int cmdImport(const Options& o, CliStreams& io)
{
    const std::string& name = o.files[0];
    std::string text;
    if (!readImport(name, io, text))
        return kExitUsage;
    auto backend = openRegistryFor(o, io);
    const ApplyResult result = applyRegFile(*backend, text);
    printWriteFailures(io.err, o, result.failures);
    if (result.whole != kStatusOk)
        io.err << kProgram << ": cannot change " << registryName(o) << ": " << statusText(result.whole) << '\n';
    if (!result.ok()) {
        if (result.allOrNothing)
            io.err << kProgram << ": nothing from " << name << " was changed in " << registryName(o) << ".\n";
        return kExitFailed;
    }
    io.out << "Imported " << result.entries << " values from " << name << ".\n";
    return kExitOk;
}

int cmdRestore(const Options& o, CliStreams& io)
{
    int declined = kExitOk;
    if (!o.yes && !confirmRestore(io, declined))
        return declined;
    auto backend = openRegistryFor(o, io);
    ChangeRecording recording(*backend, planValues());
    const RestoreResult result = restoreRegistry(*backend, programFolder(o.registry), o.part);
    recording.log(programFolder(o.registry), withPart("restore", o), io.err);
    if (!result.ok()) {
        printRestoreFailure(io.err, o, result);
        return kExitFailed;
    }
    io.out << restoredText(result, backupRegPath(programFolder(o.registry))) << '\n';
    return kExitOk;
}

}  // namespace ferro
