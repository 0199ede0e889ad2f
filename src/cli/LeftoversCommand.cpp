// ferrowinder-cli leftovers (the report, --fix and --undo) and ferrowinder-cli log.
#include <algorithm>

#include "cli/ChangeRecording.h"
#include "cli/CommandBodies.h"
#include "cli/CommandSupport.h"
#include "cli/JsonText.h"
#include "cli/ValueOutput.h"
#include "platform/DefaultRegistry.h"
#include "platform/Wmi.h"
#include "tuning/ChangeLog.h"
#include "tuning/Leftovers.h"

namespace ferro {
namespace {

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

LeftoverReport readReport(const Options& o, CliStreams& io)
{
    auto backend = openForReading(o, io);
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
    JsonWriter json;
    json.object()
        .key("format").number(kJsonFormat)
        .key("harmful").number(count(LeftoverVerdict::Harmful))
        .key("unreadable").number(count(LeftoverVerdict::Unreadable))
        .key("summary").string(summaryOf(report))
        .key("rows").array();
    for (const LeftoverFinding& f : report.findings) {
        const std::string remedy = f.verdict == LeftoverVerdict::Harmful ? remedyOf(f) : "";
        json.object().key("name").string(f.row->name).key("verdict").string(verdictLabel(f.verdict))
            .key("harmful").boolean(f.verdict == LeftoverVerdict::Harmful).key("now").string(f.now).key("value");
        if (isRegistryRow(*f.row))
            json.string(whereOf(f));
        else
            json.null();
        json.key("harmful_when").string(f.row->harmfulWhen).key("effect").string(f.row->effect)
            .key("default").string(f.row->defaultText).key("label").string(f.row->label)
            .key("sources").string(f.row->sources).key("group_policy").boolean(f.byGroupPolicy)
            .key("note").string(f.note).key("remedy");
        if (remedy.empty())
            json.null();
        else
            json.string(remedy);
        json.end();
    }
    out << json.end().end().line();
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

int reportExit(const LeftoverReport& report)
{
    return report.anyHarmful() ? kExitNotAsPlanned : report.anyUnreadable() ? kExitFailed : kExitOk;
}

int report(const Options& o, CliStreams& io)
{
    const LeftoverReport report = readReport(o, io);
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

int fix(const Options& o, CliStreams& io)
{
    if (o.dryRun) {
        const LeftoverReport report = readReport(o, io);
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
    auto backend = openRegistryFor(o, io);
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
    printWriteFailures(io.err, o, result.failures);
    if (!result.failures.empty())
        return kExitFailed;
    const LeftoverReport after = readReport(o, io);
    printCommandsForTheRest(after, io.out);
    io.out << "Put back " << result.changes.size() << (result.changes.size() == 1 ? " value" : " values")
           << " to the default. " << summaryOf(after) << '\n';
    // 3 means a write failed here; a setting that cannot be read is in the summary.
    return after.anyHarmful() ? kExitNotAsPlanned : kExitOk;
}

int undo(const Options& o, CliStreams& io)
{
    auto backend = openRegistryFor(o, io);
    const std::string folder = programFolder(o.registry);
    ChangeRecording recording(*backend, fixableLeftoverValues());
    const LeftoverUndoResult result = undoLeftoverFix(*backend, folder);
    recording.log(folder, "leftovers --undo", io.err);
    if (result.nothingToUndo) {
        io.out << "Nothing to undo: there is no " << leftoversBackupPath(folder) << ".\n";
        return kExitOk;
    }
    printWriteFailures(io.err, o, result.failures);
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

int cmdLeftovers(const Options& o, CliStreams& io)
{
    if (o.format != "text" && (o.fix || o.undo))
        throw UsageError{"--format is for the report, not for --fix or --undo"};
    if (o.fix && o.undo)
        throw UsageError{"--fix and --undo go one at a time"};
    if (o.dryRun && !o.fix)
        throw UsageError{"--dry-run goes with --fix"};
    return o.undo ? undo(o, io) : o.fix ? fix(o, io) : report(o, io);
}

int cmdLog(const Options& o, CliStreams& io)
{
    const std::string folder = programFolder(o.registry);
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
