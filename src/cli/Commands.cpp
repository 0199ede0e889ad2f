#include "cli/Commands.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "cli/JsonText.h"
#include "cli/PlanReport.h"
#include "cli/TestWritePause.h"
#include "platform/DefaultRegistry.h"
#include "platform/Paths.h"
#include "platform/TextOutput.h"
#include "registry/RegFile.h"
#include "registry/modRegistry.h"
#include "tuning/Backup.h"
#include "tuning/PlanCheck.h"
#include "tuning/TuningPlan.h"

namespace ferro {
namespace {

constexpr const char* kProgram = "ferrowinder-cli";

// Appends what is left in `file` to `text`.
bool readToEnd(std::FILE* file, std::string& text)
{
    char buffer[1 << 16];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, got);
    return !std::ferror(file);
}

struct UsageError {
    std::string message;
};

// The parsed words of one call.
struct Options {
    std::optional<std::uint32_t> speed;
    std::string registry;
    std::string output;
    std::string format = "text";
    PlanPart part = PlanPart::Both;
    std::vector<std::string> positional;
    bool dryRun = false;
    bool noBackup = false;
    bool yes = false;
    bool help = false;
};

struct Command {
    const char* name;
    const char* synopsis;
    const char* help;
    const char* options;  // the option words this command takes, blank-separated
    const char* formats;  // what --format takes, blank-separated (when options has --format)
    int (*run)(const Options&, CliStreams&);
};

std::uint32_t parseSpeed(const std::string& text)
{
    const bool digits = !text.empty() && text.size() <= 10 &&
                        text.find_first_not_of("0123456789") == std::string::npos;
    if (!digits || std::stoull(text) > 4294967295ULL)
        throw UsageError{"--speed takes a whole number of Kbps from 0 to 4294967295, not \"" + text + "\""};
    return static_cast<std::uint32_t>(std::stoull(text));
}

const char* typeName(std::uint32_t type)
{
    return type == kRegSz ? "REG_SZ" : type == kRegDword ? "REG_DWORD" : "REG_?";
}

std::unique_ptr<RegistryBackend> openRegistryFor(const Options& o)
{
    return withTestWritePause(openRegistry(o.registry));
}

// "the plan for 57 Kbps", or "the machine part of the plan for 57 Kbps".
std::string planName(const Options& o)
{
    const char* part = o.part == PlanPart::Machine ? "the machine part of "
                       : o.part == PlanPart::User  ? "the user part of "
                                                   : "";
    return part + std::string("the plan for ") + std::to_string(*o.speed) + " Kbps";
}

// The values of the chosen part that apply would write.
std::vector<RegEntry> writesInPart(const Options& o)
{
    std::vector<RegEntry> writes = planWrites(*o.speed);
    std::erase_if(writes, [&](const RegEntry& e) { return !inPart(o.part, e.path.root); });
    return writes;
}

// The values of the chosen part that are not as apply would leave them
// (every one of them when there is no store to read).
std::vector<PlanDifference> differencesInPart(RegistryBackend* backend, const Options& o)
{
    std::vector<PlanDifference> differences;
    if (backend) {
        differences = planDifferences(*backend, *o.speed);
        std::erase_if(differences, [&](const PlanDifference& d) { return !inPart(o.part, d.path.root); });
    } else {
        for (const RegEntry& e : writesInPart(o))
            differences.push_back({e.path, *e.state, {}, kStatusNotFound});
    }
    return differences;
}

// A value's data now, as check quotes it.
std::string nowText(const PlanDifference& d)
{
    return d.readStatus == kStatusNotFound ? "absent"
           : d.readStatus != kStatusOk    ? "unreadable, " + statusText(d.readStatus)
                                          : regDataText(d.now);
}

// How messages name where the values live.
std::string registryName(const Options& o)
{
    const std::string file = storeFile(o.registry);
    return file.empty() ? "the registry" : "the registry store " + file;
}

// The registry to read, without creating a store or its folder: nullptr
// when there is no store yet, so that every value is absent (said on stderr).
std::unique_ptr<RegistryBackend> openForReading(const Options& o, CliStreams& io)
{
    std::string whyAbsent;
    auto backend = openRegistryToRead(o.registry, whyAbsent);
    if (!backend)
        io.err << kProgram << ": " << registryName(o) << ' ' << whyAbsent << ", so every value is absent.\n";
    return backend;
}

// One failed operation, in the tool's own words.
void printFailure(TextSink& err, const Failure& f)
{
    using Operation = Failure::Operation;
    const char* tried = f.operation == Operation::OpenKey       ? "cannot open the key of "
                        : f.operation == Operation::DeleteValue ? "cannot delete "
                        : f.operation == Operation::ReadValue   ? "cannot read "
                                                                : "cannot set ";
    err << kProgram << ": " << tried << fullValuePath(f.path) << ": " << failureReason(f) << '\n';
}

// Prints why writes failed, at most a screenful, then how many more.
void printFailures(TextSink& err, const std::vector<Failure>& failures)
{
    constexpr std::size_t kShown = 20;
    for (std::size_t i = 0; i < failures.size() && i < kShown; ++i)
        printFailure(err, failures[i]);
    if (failures.size() > kShown)
        err << kProgram << ": and " << failures.size() - kShown << " more.\n";
}

// The exit code of writes that failed, from what the registry layer reported.
// Every case is "could not be written", 3: a failed open or set is the
// registry's or the store's answer, and a refused datum comes from the plan
// itself, never from what the user typed.
int exitCodeFor(const std::vector<Failure>& failures)
{
    return failures.empty() ? kExitOk : kExitFailed;
}

void accessDeniedHint(TextSink& err, const Options& o)
{
#ifdef _WIN32
    (void)o;
    err << kProgram << ": writing was refused (5). Run it from an elevated Command Prompt: "
        << "right-click Command Prompt, choose \"Run as administrator\", and run the same command there.\n";
#else
    err << kProgram << ": writing was refused (5): the registry store "
        << storeFile(o.registry) << " is read-only for you.\n";
#endif
}

// What a failed restore could not do, one line each with the tool's prefix.
void printRestoreFailure(TextSink& err, const Options& o, const RestoreResult& result)
{
    err << kProgram << ": your registry could not be fully restored.\n";
    const auto storeWide = [](const Failure& f) { return refusesEveryWrite(f.status); };
    if (!result.failures.empty() && std::all_of(result.failures.begin(), result.failures.end(), storeWide))
        err << kProgram << ": cannot write " << registryName(o) << ": " << statusText(result.failures[0].status)
            << '\n';
    else
        printFailures(err, result.failures);
    if (!result.error.empty())
        err << kProgram << ": " << result.error << ".\n";
    if (result.usedBackup && !result.failures.empty())
        err << kProgram << ": the backup was kept, so you can try again.\n";
}

int cmdPlan(const Options& o, CliStreams& io)
{
    io.out << (o.format == "tsv" ? planTsv(*o.speed) : planText(*o.speed, runningWindowsVersion()));
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

// {"path":...,"root":...,"key":...,"value":...}: where a value lives, for JSON.
std::string jsonPlace(const ValuePath& path)
{
    return "\"path\":" + jsonString(fullValuePath(path)) + ",\"root\":" + jsonString(rootName(path.root)) +
           ",\"key\":" + jsonString(path.keyPath) + ",\"value\":" + jsonString(path.valueName);
}

// A value's type and data (as .reg text), or null when absent.
std::string jsonState(const ValueState& state)
{
    if (!state.present)
        return "null";
    return "{\"type\":" + jsonString(typeName(state.type)) + ",\"data\":" + jsonString(regDataText(state)) + "}";
}

// Exit 0 when the registry holds exactly what apply would write at this
// speed, 1 when not, naming each value that differs, 3 when a value could
// not be read.
int cmdCheck(const Options& o, CliStreams& io)
{
    auto backend = openForReading(o, io);
    const std::vector<PlanDifference> differences = differencesInPart(backend.get(), o);
    const std::size_t values = writesInPart(o).size();
    const std::string summary =
        differences.empty() ? "The registry holds " + planName(o) + " (" + std::to_string(values) + " values)."
                            : "The registry does not hold " + planName(o) + ": " +
                                  std::to_string(differences.size()) + " of " + std::to_string(values) +
                                  " values differ.";
    if (o.format == "json") {
        io.out << "{\"speed\":" << *o.speed << ",\"part\":"
               << jsonString(o.part == PlanPart::Machine ? "machine" : o.part == PlanPart::User ? "user" : "both")
               << ",\"holds\":" << (differences.empty() ? "true" : "false") << ",\"values\":" << values
               << ",\"differing\":" << differences.size() << ",\"summary\":" << jsonString(summary)
               << ",\"differences\":[";
        for (std::size_t i = 0; i < differences.size(); ++i) {
            const PlanDifference& d = differences[i];
            io.out << (i ? "," : "") << '{' << jsonPlace(d.path) << ",\"now\":" << jsonState(d.now)
                   << ",\"wanted\":" << jsonState(d.wanted);
            if (d.readStatus != kStatusOk && d.readStatus != kStatusNotFound)
                io.out << ",\"error\":" << jsonString(statusText(d.readStatus));
            io.out << '}';
        }
        io.out << "]}\n";
    } else if (o.format == "tsv") {
        io.out << "root\tkey\tvalue\tnow\twanted\n";
        for (const PlanDifference& d : differences)
            io.out << rootName(d.path.root) << '\t' << d.path.keyPath << '\t' << d.path.valueName << '\t'
                   << nowText(d) << '\t' << regDataText(d.wanted) << '\n';
    } else {
        io.out << summary << '\n';
        for (const PlanDifference& d : differences)
            io.out << fullValuePath(d.path) << ": now " << nowText(d) << ", wanted " << regDataText(d.wanted)
                   << '\n';
    }
    // A value that could not be read may or may not hold the plan: that is
    // not "differs".
    const bool unreadable = std::any_of(differences.begin(), differences.end(), [](const PlanDifference& d) {
        return d.readStatus != kStatusOk && d.readStatus != kStatusNotFound;
    });
    return differences.empty() ? kExitOk : unreadable ? kExitFailed : kExitNotAsPlanned;
}

int cmdApply(const Options& o, CliStreams& io)
{
    if (o.dryRun) {
        auto reading = openForReading(o, io);
        const std::vector<PlanDifference> differences = differencesInPart(reading.get(), o);
        for (const PlanDifference& d : differences)
            io.out << "would change " << fullValuePath(d.path) << ": now " << nowText(d) << ", wanted "
                   << regDataText(d.wanted) << '\n';
        io.out << "Applying " << planName(o) << " would change " << differences.size() << " of "
               << writesInPart(o).size() << " values. Nothing was written (--dry-run).\n";
        return kExitOk;
    }
    auto backend = openRegistryFor(o);
    std::optional<BoostMark> mark;
    // The backup in the program folder is the machine's: one for every
    // account, and only administrators may write there.
    if (o.part != PlanPart::User && !backUpBeforeApply(*backend, o, io, mark))
        return kExitFailed;
    const std::vector<PlanDifference> before = differencesInPart(backend.get(), o);
    std::vector<Failure> failures;
    const modRegistry::Registry reg{*backend, [&](const Failure& f) { failures.push_back(f); }};
    int written = 0;
    int steps = 0;
    for (const PlanEntry& e : tuningPlan()) {
        if (!inPart(o.part, e.root))
            continue;
        ++steps;
        written += applyPlanEntry(reg, e, *o.speed) ? 1 : 0;
    }
    // A store that refuses every write (each step then fails twice) is named once.
    const auto storeWide = std::find_if(failures.begin(), failures.end(),
                                        [](const Failure& f) { return refusesEveryWrite(f.status); });
    if (storeWide != failures.end())
        io.err << kProgram << ": cannot write " << registryName(o) << ": " << statusText(storeWide->status) << '\n';
    else
        for (const Failure& f : failures)
            printFailure(io.err, f);
    const auto refused = [](const Failure& f) { return f.status == kStatusAccessDenied; };
    if (std::any_of(failures.begin(), failures.end(), refused))
        accessDeniedHint(io.err, o);
    if (!failures.empty()) {
        io.err << kProgram << ": some values could not be written (see the messages above).\n";
        return exitCodeFor(failures);
    }
    // Counted by reading back: a value written with the data it had is not a change.
    const std::vector<PlanDifference> after = differencesInPart(backend.get(), o);
    const auto changed = std::count_if(before.begin(), before.end(), [&](const PlanDifference& b) {
        return std::none_of(after.begin(), after.end(),
                            [&](const PlanDifference& a) { return samePlace(a.path, b.path); });
    });
    io.out << "Applied " << planName(o) << ": " << written << " of " << steps << " steps wrote a value, "
           << changed << (changed == 1 ? " value" : " values") << " changed.\n";
    return kExitOk;
}

int cmdShow(const Options& o, CliStreams& io)
{
    auto backend = openForReading(o, io);
    std::vector<Failure> unreadable;
    std::vector<RegEntry> state;
    if (backend) {
        state = captureState(*backend, planValues(), unreadable);
    } else {
        for (const ValuePath& value : planValues())
            state.push_back({value, ValueState{}});
    }
    if (o.format == "json") {
        io.out << "{\"values\":[";
        const char* comma = "";
        for (const RegEntry& e : state) {
            io.out << comma << '{' << jsonPlace(e.path) << ",\"state\":" << jsonState(e.state.value_or(ValueState{}))
                   << '}';
            comma = ",";
        }
        for (const Failure& f : unreadable) {
            io.out << comma << '{' << jsonPlace(f.path) << ",\"state\":null,\"error\":" << jsonString(statusText(f.status))
                   << '}';
            comma = ",";
        }
        io.out << "]}\n";
    } else {
        io.out << writeRegFile(state);
    }
    for (const Failure& f : unreadable)
        printFailure(io.err, f);
    return unreadable.empty() ? kExitOk : kExitFailed;
}

int cmdExport(const Options& o, CliStreams& io)
{
    const std::string text = writeRegFile(planWrites(*o.speed));
    if (o.output.empty() || o.output == "-") {
        io.out << text;
        return kExitOk;
    }
    std::FILE* file = openFile(o.output, "wb");
    const bool written = file && std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (!(file && std::fclose(file) == 0 && written)) {
        io.err << kProgram << ": cannot write " << o.output << '\n';
        return kExitFailed;
    }
    return kExitOk;
}

bool readFile(const std::string& name, std::string& text)
{
    std::FILE* file = openFile(name, "rb");
    if (!file)
        return false;
    const bool ok = readToEnd(file, text);
    return std::fclose(file) == 0 && ok;
}

int cmdImport(const Options& o, CliStreams& io)
{
    if (o.positional.size() != 1)
        throw UsageError{"import takes exactly one FILE"};
    const std::string& name = o.positional[0];
    std::string text;
    if (!(name == "-" ? io.in.readAll(text) : readFile(name, text))) {
        io.err << kProgram << ": cannot read " << name << '\n';
        return kExitUsage;
    }
    try {
        readRegFile(text, [](const RegEntry&) {});
    } catch (const RegParseError& e) {
        io.err << kProgram << ": " << name << ": " << e.what() << "; nothing was changed\n";
        return kExitUsage;
    }
    auto backend = openRegistryFor(o);
    const ApplyResult result = applyRegFile(*backend, text);
    printFailures(io.err, result.failures);
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
    if (!o.yes) {
        if (!io.interactive) {
            io.err << kProgram << ": restore asks before it changes anything, and there is no terminal "
                   << "to ask on; pass --yes to restore without asking.\n";
            return kExitUsage;
        }
        io.out << "Are you sure you want to restore your registry to previous settings? [y/N] ";
        std::string answer;
        io.in.readLine(answer);
        if (answer != "y" && answer != "Y" && answer != "yes" && answer != "YES" && answer != "Yes") {
            io.out << "Nothing was changed.\n";
            return kExitOk;
        }
    }
    auto backend = openRegistryFor(o);
    const RestoreResult result = restoreRegistry(*backend, programFolder(o.registry), o.part);
    if (!result.ok()) {
        printRestoreFailure(io.err, o, result);
        return kExitFailed;
    }
    const std::string backup = backupRegPath(programFolder(o.registry));
    io.out << "Your registry has been restored."
           << (result.nothingToUndo ? " Nothing had to change: no boost was made since the backup " + backup +
                                          " was taken or restored."
               : result.usedBackup  ? " The values were put back from the backup " + backup + "."
                                    : std::string(" (There was no backup: the default list of values was deleted.)"))
           << '\n';
    return kExitOk;
}

const char* const kPartHelp =
    "--part machine or --part user limits it to the values under HKEY_LOCAL_MACHINE (run\n"
    "elevated, once per PC) or under HKEY_CURRENT_USER (run as each user: they land in the\n"
    "profile of the account that runs the tool); the default is both.";

const Command kCommands[] = {
    {"plan", "plan --speed KBPS [--format text|tsv]",
     "Lists every step of the boost for a connection speed: what each writes where,\n"
     "which Windows versions read that value, the type they expect, and what it does on\n"
     "Windows 10 and 11, with how sure that is and its sources (see docs/values.md).\n"
     "--format tsv prints one tab-separated line per step under a header line instead:\n"
     "step, root, key, value, type, data ('-' where the step writes nothing), read_by,\n"
     "expected_type, effect_windows_10_11, confidence, sources.",
     "--speed --format", "text tsv", cmdPlan},
    {"apply", "apply --speed KBPS [--part machine|user] [--dry-run] [--no-backup]",
     "Writes the plan for a connection speed, step by step, as the wizard does (without\n"
     "its pauses), and says how many values it changed (0 when the registry held them).\n"
     "First it takes the wizard's backup, which restore puts back, unless --no-backup is\n"
     "given or only the user part is applied (the backup is the machine's, in the program\n"
     "folder). --dry-run writes nothing and lists each value that would change, with its\n"
     "data now and the data wanted, as check does.",
     "--speed --part --dry-run --no-backup", "", cmdApply},
    {"check", "check --speed KBPS [--part machine|user] [--format text|tsv|json]",
     "Exits 0 when the registry already holds exactly what apply --speed KBPS would write,\n"
     "and 1 when not, listing each value that differs with its data now and the data wanted.\n"
     "For configuration tools: check detects, apply remedies. --format tsv prints a header\n"
     "line and one line per differing value (root, key, value, now, wanted); --format json\n"
     "one object with speed, part, holds, values, differing, summary and differences.",
     "--speed --part --format", "text tsv json", cmdCheck},
    {"show", "show [--format text|json]",
     "Prints the current state of every value the plan writes, as .reg text\n"
     "(an absent value as \"Name\"=-), or with --format json as one object whose values\n"
     "each have path, root, key, value and state (type and data, or null when absent).",
     "--format", "text json", cmdShow},
    {"export", "export --speed KBPS [-o FILE]",
     "Writes what apply would write as a .reg file, for the registry editor or Group Policy.",
     "--speed -o", "", cmdExport},
    {"import", "import FILE",
     "Applies a .reg file (FILE may be - for standard input). The whole file is checked\n"
     "before anything is changed.",
     "", "", cmdImport},
    {"restore", "restore [--part machine|user] [--yes]",
     "Puts back the values saved by the backup of the wizard or of apply, undoing the boosts\n"
     "made since; restoring again changes nothing. Without a backup, deletes the values the\n"
     "boost changes. Asks first unless --yes is given.",
     "--part --yes", "", cmdRestore},
};

void printUsage(TextSink& out)
{
    out << "Usage: " << kProgram << " COMMAND [OPTIONS] [--] [FILE]\n"
        << "  or:  " << kProgram << " help COMMAND\n"
        << "  or:  " << kProgram << " --help | --version\n\nCommands:\n";
    // Name, then the rest of the synopsis, in two columns (as man pages show them).
    for (const Command& c : kCommands) {
        const std::string_view synopsis = c.synopsis;
        const std::string_view name = c.name;
        out << "  " << name << std::string(10 - name.size(), ' ') << synopsis.substr(name.size() + 1) << '\n';
    }
    out << "\nEvery command takes --registry PATH (the store file to use; ignored on Windows) and\n"
        << "--help (also -h, -? and /?). -- ends the options: every word after it is a FILE.\n"
        << "\nExit codes, the same for every command:\n"
        << "  0  done; check: the registry holds the plan\n"
        << "  1  check: the registry does not hold the plan\n"
        << "  2  bad usage or unreadable input\n"
        << "  3  the registry, the store or a file could not be read or written\n";
}

void printCommandHelp(const Command& c, TextSink& out)
{
    out << "Usage: " << kProgram << ' ' << c.synopsis << " [--registry PATH]\n\n" << c.help << '\n';
    if (std::string_view(c.options).find("--part") != std::string_view::npos)
        out << kPartHelp << '\n';
}

bool isHelpWord(const std::string& word)
{
    return word == "--help" || word == "-h" || word == "-?" || word == "/?";
}

const Command* findCommand(const std::string& name)
{
    for (const Command& c : kCommands)
        if (name == c.name)
            return &c;
    return nullptr;
}

bool wordIn(const char* words, const std::string& word)
{
    return (" " + std::string(words) + " ").find(" " + word + " ") != std::string::npos;
}

bool takes(const Command& c, const std::string& option)
{
    return wordIn(c.options, option);
}

PlanPart parsePart(const std::string& part)
{
    if (part != "machine" && part != "user" && part != "both")
        throw UsageError{"--part takes machine, user or both, not \"" + part + "\""};
    return part == "machine" ? PlanPart::Machine : part == "user" ? PlanPart::User : PlanPart::Both;
}

void requireWhatItNeeds(const Command& c, const Options& o)
{
    if (takes(c, "--speed") && !o.speed)
        throw UsageError{"'" + std::string(c.name) + "' needs --speed KBPS"};
    if (std::string(c.name) != "import" && !o.positional.empty())
        throw UsageError{"unexpected word '" + o.positional[0] + "'"};
}

Options parseOptions(const Command& c, const std::vector<std::string>& args)
{
    Options o;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        std::string word = args[i];
        if (optionsEnded) {
            o.positional.push_back(word);
            continue;
        }
        std::optional<std::string> attached;
        if (word.rfind("--", 0) == 0 && word.find('=') != std::string::npos) {
            attached = word.substr(word.find('=') + 1);
            word = word.substr(0, word.find('='));
        }
        auto value = [&]() -> std::string {
            if (attached)
                return *attached;
            if (i + 1 >= args.size())
                throw UsageError{word + " needs a value"};
            return args[++i];
        };
        if (word == "--") {
            optionsEnded = true;
        } else if (isHelpWord(word)) {
            o.help = true;
        } else if (word == "--registry") {
            o.registry = value();
            // An unset variable in a script must not mean the user's own store.
            if (o.registry.empty())
                throw UsageError{"--registry needs a file name; it was given an empty one"};
        } else if (word == "--speed" && takes(c, "--speed")) {
            o.speed = parseSpeed(value());
        } else if (word == "--format" && takes(c, "--format")) {
            o.format = value();
            if (!wordIn(c.formats, o.format))
                throw UsageError{"--format takes " + std::string(c.formats) + ", not \"" + o.format + "\""};
        } else if (word == "--part" && takes(c, "--part")) {
            o.part = parsePart(value());
        } else if ((word == "-o" || word == "--output") && takes(c, "-o")) {
            o.output = value();
        } else if (word == "--dry-run" && takes(c, "--dry-run")) {
            o.dryRun = true;
        } else if (word == "--no-backup" && takes(c, "--no-backup")) {
            o.noBackup = true;
        } else if (word == "--yes" && takes(c, "--yes")) {
            o.yes = true;
        } else if (word.size() > 1 && word[0] == '-') {
            throw UsageError{"'" + std::string(c.name) + "' does not take " + word};
        } else {
            o.positional.push_back(word);
        }
    }
    if (!o.help)
        requireWhatItNeeds(c, o);
    return o;
}

}  // namespace

bool StringSource::readLine(std::string& line)
{
    line.clear();
    if (at_ >= text_.size())
        return false;
    const std::size_t end = std::min(text_.find('\n', at_), text_.size());
    line = text_.substr(at_, end - at_);
    at_ = end + 1;
    return true;
}

bool StringSource::readAll(std::string& text)
{
    text += text_.substr(std::min(at_, text_.size()));
    at_ = text_.size();
    return true;
}

void StdioSink::write(std::string_view text)
{
    if (failure_.empty())
        (void)writeText(file_, text, failure_);
}

bool StdioSource::readLine(std::string& line)
{
    line.clear();
    int c = 0;
    while ((c = std::fgetc(file_)) != EOF && c != '\n')
        line += static_cast<char>(c);
    return c == '\n' || !line.empty();
}

bool StdioSource::readAll(std::string& text)
{
    return readToEnd(file_, text);
}

int runCli(const std::vector<std::string>& args, CliStreams io)
{
    if (args.empty() || isHelpWord(args[0]) || (args[0] == "help" && args.size() == 1)) {
        printUsage(args.empty() ? io.err : io.out);
        return args.empty() ? kExitUsage : kExitOk;
    }
    if (args[0] == "--version" || args[0] == "-V") {
        io.out << kProgram << ' ' << FERRO_VERSION << '\n';
        return kExitOk;
    }
    if (args[0] == "help") {
        const Command* topic = findCommand(args[1]);
        if (!topic || args.size() > 2) {
            io.err << kProgram << ": help takes one command name, not '" << args[1] << "'\n";
            printUsage(io.err);
            return kExitUsage;
        }
        printCommandHelp(*topic, io.out);
        return kExitOk;
    }
    const Command* command = findCommand(args[0]);
    if (!command) {
        io.err << kProgram << ": unknown command '" << args[0] << "'\n";
        printUsage(io.err);
        return kExitUsage;
    }
    try {
        const Options o = parseOptions(*command, args);
        if (o.help) {
            printCommandHelp(*command, io.out);
            return kExitOk;
        }
        return command->run(o, io);
    } catch (const UsageError& e) {
        io.err << kProgram << ' ' << command->name << ": " << e.message << "\n"
               << "Usage: " << kProgram << ' ' << command->synopsis << " [--registry PATH]\n";
        return kExitUsage;
    } catch (const std::exception& e) {
        // Store errors: a damaged, foreign or unopenable store file.
        io.err << kProgram << ": " << e.what() << '\n';
        return kExitFailed;
    }
}

}  // namespace ferro
