#include "cli/LeftoversCommand.h"

#include <algorithm>

#include "cli/ChangeRecording.h"
#include "cli/JsonText.h"
#include "platform/DefaultRegistry.h"
#include "platform/Wmi.h"
#include "tuning/ChangeLog.h"
#include "tuning/Leftovers.h"

namespace ferro {

const char* const kLeftoversHelp =
    "Reports the settings that old tuning left behind and that Microsoft documents as limiting\n"
    "networking on today's Windows, and the usual ones that do nothing harmful: for each, what\n"
    "is set now, whether it is harmful, the documented effect, the default, the label and the\n"
    "source (docs/leftovers.md has the table). A Group Policy in force is named. Exits 0 when\n"
    "nothing harmful is found, 1 when something is, 3 when nothing harmful was found but a\n"
    "setting this system should have could not be read. --format tsv prints a header line and\n"
    "one line per setting; --format json one object with harmful, unreadable, summary and rows.\n"
    "--fix first writes the present state of the harmful registry values (Tcp1323Opts,\n"
    "DisableTaskOffload, NetworkThrottlingIndex, EnablePMTUDiscovery) to Backup\\Leftovers.reg,\n"
    "then puts their defaults back; for the others it prints the documented command and runs\n"
    "nothing. --fix --dry-run only lists what --fix would do. --undo puts back exactly the\n"
    "values Backup\\Leftovers.reg holds.";

const char* const kLogHelp =
    "Prints the change log: one line for every value that apply, restore, leftovers --fix and\n"
    "leftovers --undo changed (time in UTC, command, value, before, after), tab-separated.";

namespace {

constexpr const char* kProgram = "ferrowinder-cli";

bool isRegistryRow(const LeftoverRow& row)
{
    return row.where == LeftoverWhere::Registry || row.where == LeftoverWhere::RegistryHarmless;
}

// What puts a harmful row right, in words.
std::string remedyOf(const LeftoverFinding& f)
{
    if (f.row->where == LeftoverWhere::Registry)
        return std::string(kProgram) + " leftovers --fix";
    if (f.byGroupPolicy && f.row->where == LeftoverWhere::Autotuning)
        return "";  // no local command overrides the policy
    return f.row->fixCommand;
}

LeftoverReport readReport(const std::string& registry, CliStreams& io)
{
    std::string whyAbsent;
    auto backend = openRegistryToRead(registry, whyAbsent);
    if (!backend)
        io.err << kProgram << ": the registry store " << storeFile(registry) << ' ' << whyAbsent
               << ", so every value is absent.\n";
    auto wmi = openWmi();
    return readLeftovers(backend.get(), *wmi, runningWindowsVersion());
}

std::string summaryOf(const LeftoverReport& report)
{
    const auto count = [&](LeftoverVerdict v) {
        return std::count_if(report.findings.begin(), report.findings.end(),
                             [v](const LeftoverFinding& f) { return f.verdict == v; });
    };
    const auto harmful = count(LeftoverVerdict::Harmful);
    const auto unreadable = count(LeftoverVerdict::Unreadable);
    std::string text = harmful == 0 ? "Nothing harmful was found"
                                    : std::to_string(harmful) + (harmful == 1 ? " harmful setting" : " harmful settings") + " found";
    if (unreadable)
        text += "; " + std::to_string(unreadable) + (unreadable == 1 ? " setting" : " settings") + " could not be read";
    return text + ".";
}

std::string whereOf(const LeftoverFinding& f)
{
    return isRegistryRow(*f.row) ? fullValuePath(valuePathOf(*f.row)) : "";
}

void printText(const LeftoverReport& report, TextSink& out)
{
    for (const LeftoverFinding& f : report.findings) {
        out << f.row->name << ": " << verdictLabel(f.verdict) << "\n  now: " << f.now << '\n';
        if (isRegistryRow(*f.row))
            out << "  value: " << whereOf(f) << '\n';
        out << "  harmful when: " << f.row->harmfulWhen << "\n  effect: " << f.row->effect
            << "\n  default: " << f.row->defaultText << "\n  label: " << f.row->label
            << "\n  sources: " << f.row->sources << '\n';
        if (!f.note.empty())
            out << "  note: " << f.note << '\n';
        if (f.verdict == LeftoverVerdict::Harmful && !remedyOf(f).empty())
            out << "  to put it right: " << remedyOf(f) << '\n';
    }
    out << summaryOf(report) << " (docs/leftovers.md has the sources.)\n";
}

void printTsv(const LeftoverReport& report, TextSink& out)
{
    out << "name\tverdict\tnow\tvalue\tharmful_when\teffect\tdefault\tlabel\tsources\tgroup_policy\tnote\tremedy\n";
    for (const LeftoverFinding& f : report.findings)
        out << f.row->name << '\t' << verdictLabel(f.verdict) << '\t' << f.now << '\t' << whereOf(f) << '\t'
            << f.row->harmfulWhen << '\t' << f.row->effect << '\t' << f.row->defaultText << '\t' << f.row->label
            << '\t' << f.row->sources << '\t' << (f.byGroupPolicy ? "yes" : "no") << '\t' << f.note << '\t'
            << (f.verdict == LeftoverVerdict::Harmful ? remedyOf(f) : "") << '\n';
}

void printJson(const LeftoverReport& report, TextSink& out)
{
    const auto count = [&](LeftoverVerdict v) {
        return std::count_if(report.findings.begin(), report.findings.end(),
                             [v](const LeftoverFinding& f) { return f.verdict == v; });
    };
    out << "{\"harmful\":" << count(LeftoverVerdict::Harmful) << ",\"unreadable\":" << count(LeftoverVerdict::Unreadable)
        << ",\"summary\":" << jsonString(summaryOf(report)) << ",\"rows\":[";
    const char* comma = "";
    for (const LeftoverFinding& f : report.findings) {
        const std::string remedy = f.verdict == LeftoverVerdict::Harmful ? remedyOf(f) : "";
        out << comma << "{\"name\":" << jsonString(f.row->name) << ",\"verdict\":" << jsonString(verdictLabel(f.verdict))
            << ",\"harmful\":" << (f.verdict == LeftoverVerdict::Harmful ? "true" : "false")
            << ",\"now\":" << jsonString(f.now) << ",\"value\":" << (isRegistryRow(*f.row) ? jsonString(whereOf(f)) : "null")
            << ",\"harmful_when\":" << jsonString(f.row->harmfulWhen) << ",\"effect\":" << jsonString(f.row->effect)
            << ",\"default\":" << jsonString(f.row->defaultText) << ",\"label\":" << jsonString(f.row->label)
            << ",\"sources\":" << jsonString(f.row->sources)
            << ",\"group_policy\":" << (f.byGroupPolicy ? "true" : "false") << ",\"note\":" << jsonString(f.note)
            << ",\"remedy\":" << (remedy.empty() ? "null" : jsonString(remedy)) << '}';
        comma = ",";
    }
    out << "]}\n";
}

// The harmful rows the fix does not write, with their commands.
void printCommandsForTheRest(const LeftoverReport& report, TextSink& out)
{
    for (const LeftoverFinding& f : report.findings) {
        if (f.verdict != LeftoverVerdict::Harmful || f.row->where == LeftoverWhere::Registry)
            continue;
        out << f.row->name << " is " << f.now << ": ";
        if (remedyOf(f).empty())
            out << f.note << ".\n";
        else
            out << "not changed by this tool; to put it right, run from an elevated prompt:\n  " << remedyOf(f) << '\n';
    }
}

void printFailures(TextSink& err, const std::vector<ApplyFailure>& failures)
{
    for (const ApplyFailure& f : failures)
        err << kProgram << ": cannot set " << fullValuePath(f.path) << ": " << statusText(f.status) << '\n';
}

int reportExit(const LeftoverReport& report)
{
    return report.anyHarmful() ? kExitNotAsPlanned : report.anyUnreadable() ? kExitFailed : kExitOk;
}

int report(const LeftoversOptions& o, CliStreams& io)
{
    const LeftoverReport report = readReport(o.registry, io);
    if (o.format == "json")
        printJson(report, io.out);
    else if (o.format == "tsv")
        printTsv(report, io.out);
    else
        printText(report, io.out);
    for (const LeftoverFinding& f : report.findings)
        if (f.verdict == LeftoverVerdict::Unreadable)
            io.err << kProgram << ": " << f.row->name << " could not be read: " << f.note << '\n';
    return reportExit(report);
}

int fix(const LeftoversOptions& o, CliStreams& io)
{
    if (o.dryRun) {
        const LeftoverReport report = readReport(o.registry, io);
        const std::vector<ValueChange> planned = plannedLeftoverFixes(report);
        for (const ValueChange& c : planned)
            io.out << "would set " << fullValuePath(c.path) << ": now " << stateText(c.before) << ", default "
                   << stateText(c.after) << '\n';
        printCommandsForTheRest(report, io.out);
        io.out << "--fix would put back " << planned.size() << (planned.size() == 1 ? " value" : " values")
               << ", after backing them up to " << leftoversBackupPath(programFolder(o.registry))
               << ". Nothing was written (--dry-run).\n";
        return kExitOk;
    }
    auto backend = openRegistry(o.registry);
    const std::string folder = programFolder(o.registry);
    ChangeRecording recording(*backend, fixableLeftoverValues());
    const LeftoverFixResult result = fixLeftovers(*backend, folder);
    recording.log(folder, "leftovers --fix", io.err);
    if (!result.error.empty()) {
        io.err << kProgram << ": " << result.error << ".\n";
        return kExitFailed;
    }
    if (!result.changes.empty())
        io.out << "Backed up the harmful values to " << leftoversBackupPath(folder) << '\n';
    for (const ValueChange& c : result.changes)
        io.out << "set " << fullValuePath(c.path) << ": was " << stateText(c.before) << ", now "
               << stateText(c.after) << '\n';
    printFailures(io.err, result.failures);
    if (!result.failures.empty())
        return kExitFailed;
    const LeftoverReport after = readReport(o.registry, io);
    printCommandsForTheRest(after, io.out);
    io.out << "Put back " << result.changes.size() << (result.changes.size() == 1 ? " value" : " values")
           << " to the default. " << summaryOf(after) << '\n';
    // 3 means a write failed here; a setting that cannot be read is in the summary.
    return after.anyHarmful() ? kExitNotAsPlanned : kExitOk;
}

int undo(const LeftoversOptions& o, CliStreams& io)
{
    auto backend = openRegistry(o.registry);
    const std::string folder = programFolder(o.registry);
    ChangeRecording recording(*backend, fixableLeftoverValues());
    const LeftoverUndoResult result = undoLeftoverFix(*backend, folder);
    recording.log(folder, "leftovers --undo", io.err);
    if (result.nothingToUndo) {
        io.out << "Nothing to undo: there is no " << leftoversBackupPath(folder) << ".\n";
        return kExitOk;
    }
    printFailures(io.err, result.failures);
    if (!result.error.empty())
        io.err << kProgram << ": " << result.error << ".\n";
    if (!result.ok())
        return kExitFailed;
    for (const ValueChange& c : result.changes)
        io.out << "set " << fullValuePath(c.path) << ": was " << stateText(c.before) << ", now "
               << stateText(c.after) << '\n';
    io.out << "Put back " << result.changes.size() << (result.changes.size() == 1 ? " value" : " values")
           << " from the backup, which is now removed.\n";
    return kExitOk;
}

}  // namespace

int runLeftoversCommand(const LeftoversOptions& o, CliStreams& io)
{
    return o.undo ? undo(o, io) : o.fix ? fix(o, io) : report(o, io);
}

int runLogCommand(const std::string& registry, CliStreams& io)
{
    const std::string folder = programFolder(registry);
    std::string text, why;
    bool none = false;
    if (!readChangeLog(folder, text, none, why)) {
        io.err << kProgram << ": cannot read the change log: " << why << '\n';
        return kExitFailed;
    }
    if (none) {
        io.out << "Nothing has been logged yet (" << changeLogPath(folder) << " does not exist).\n";
        return kExitOk;
    }
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    io.out << text;
    return kExitOk;
}

}  // namespace ferro
