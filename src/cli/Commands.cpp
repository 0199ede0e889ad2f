#include "cli/Commands.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "cli/PlanReport.h"
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
    return openRegistry(o.registry);
}

// How messages name where the values live.
std::string registryName(const Options& o)
{
    const std::string file = storeFile(o.registry);
    return file.empty() ? "the registry" : "the registry store " + file;
}

// Prints why writes failed, at most a screenful, then how many more.
void printFailures(TextSink& err, const std::vector<ApplyFailure>& failures)
{
    constexpr std::size_t kShown = 20;
    for (std::size_t i = 0; i < failures.size() && i < kShown; ++i)
        err << kProgram << ": cannot set " << fullValuePath(failures[i].path) << ": "
            << statusText(failures[i].status) << '\n';
    if (failures.size() > kShown)
        err << kProgram << ": and " << failures.size() - kShown << " more.\n";
}

// One failed step of the plan's writes, in the tool's own words.
void printWriteFailure(TextSink& err, const modRegistry::WriteFailure& f)
{
    using Operation = modRegistry::WriteFailure::Operation;
    err << kProgram << ": " << (f.operation == Operation::OpenKey ? "cannot open the key of " : "cannot set ")
        << fullValuePath(f.path) << ": "
        << (f.operation == Operation::Conversion ? f.conversion : statusText(f.status)) << '\n';
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

int cmdPlan(const Options& o, CliStreams& io)
{
    io.out << (o.format == "tsv" ? planTsv(*o.speed) : planText(*o.speed, runningWindowsVersion()));
    return kExitOk;
}

// The wizard's YES before the boost (unless --no-backup), and the mark that
// makes a later restore undo this boost.
bool backUpBeforeApply(RegistryBackend& backend, const Options& o, CliStreams& io)
{
    const std::string folder = programFolder(o.registry);
    if (!o.noBackup) {
        const BackupResult backup = writeBackup(backend, folder);
        if (!backup.ok) {
            io.err << kProgram << ": the backup could not be taken: " << backup.failure
                   << "\nNothing was written; --no-backup boosts without a backup.\n";
            return false;
        }
        io.out << (backup.keptEarlier ? "Kept the backup from before an earlier boost: "
                                      : "Backed up the current values to ")
               << backupRegPath(folder) << '\n';
    }
    const BackupResult noted = noteBoostWrite(folder);
    if (!noted.ok) {
        io.err << kProgram << ": " << noted.failure << "\nNothing was written: a restore could not undo this boost.\n";
        return false;
    }
    return true;
}

// Exit 0 when the registry holds exactly what apply would write at this
// speed, 1 when not, naming each value that differs.
int cmdCheck(const Options& o, CliStreams& io)
{
    auto backend = openRegistryFor(o);
    const std::vector<PlanDifference> differences = planDifferences(*backend, *o.speed);
    const std::size_t values = planWrites(*o.speed).size();
    if (differences.empty()) {
        io.out << "The registry holds the plan for " << *o.speed << " Kbps (" << values << " values).\n";
        return kExitOk;
    }
    io.out << "The registry does not hold the plan for " << *o.speed << " Kbps: " << differences.size() << " of "
           << values << " values differ.\n";
    for (const PlanDifference& d : differences) {
        const std::string now = d.readStatus == kStatusNotFound ? "absent"
                                : d.readStatus != kStatusOk    ? "unreadable, " + statusText(d.readStatus)
                                                               : regDataText(d.now);
        io.out << fullValuePath(d.path) << ": now " << now << ", wanted " << regDataText(d.wanted) << '\n';
    }
    return kExitNotAsPlanned;
}

int cmdApply(const Options& o, CliStreams& io)
{
    if (o.dryRun) {
        for (const PlanEntry& e : tuningPlan()) {
            const std::optional<std::string> data = planData(e, *o.speed);
            io.out << "step " << e.step << ": "
                   << (data ? "would write " + std::string(rootName(e.root)) + "\\" + e.keyPath + "\\" +
                                  e.valueName + " = " + *data + " (" + typeName(e.type) + ")"
                            : std::string("nothing to write at this speed"))
                   << '\n';
        }
        return kExitOk;
    }
    auto backend = openRegistryFor(o);
    if (!backUpBeforeApply(*backend, o, io))
        return kExitWriteFailed;
    std::vector<modRegistry::WriteFailure> failures;
    const modRegistry::Registry reg{*backend, [&](const modRegistry::WriteFailure& f) { failures.push_back(f); }};
    int written = 0;
    for (const PlanEntry& e : tuningPlan())
        written += applyPlanEntry(reg, e, *o.speed) ? 1 : 0;
    for (const modRegistry::WriteFailure& f : failures)
        printWriteFailure(io.err, f);
    const auto refused = [](const modRegistry::WriteFailure& f) { return f.status == kStatusAccessDenied; };
    if (std::any_of(failures.begin(), failures.end(), refused))
        accessDeniedHint(io.err, o);
    if (!failures.empty()) {
        io.err << kProgram << ": some values could not be written (see the messages above).\n";
        return kExitWriteFailed;
    }
    io.out << "Applied the plan for " << *o.speed << " Kbps: " << written << " of " << kPlanSteps
           << " steps wrote a value.\n";
    return kExitOk;
}

int cmdShow(const Options& o, CliStreams& io)
{
    std::string whyAbsent;
    const auto backend = openRegistryToRead(o.registry, whyAbsent);
    if (!backend) {
        io.err << kProgram << ": " << registryName(o) << ' ' << whyAbsent << ", so every value is absent.\n";
        std::vector<RegEntry> absent;
        for (const ValuePath& value : planValues())
            absent.push_back({value, ValueState{}});
        io.out << writeRegFile(absent);
        return kExitOk;
    }
    std::vector<ApplyFailure> unreadable;
    io.out << writeRegFile(captureState(*backend, planValues(), unreadable));
    for (const ApplyFailure& f : unreadable)
        io.err << kProgram << ": cannot read " << fullValuePath(f.path) << ": " << statusText(f.status) << '\n';
    return unreadable.empty() ? kExitOk : kExitWriteFailed;
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
        return kExitWriteFailed;
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
        return kExitWriteFailed;
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
    const RestoreResult result = restoreRegistry(*backend, programFolder(o.registry));
    if (!result.ok()) {
        io.err << restoreFailureText(result) << '\n';
        return kExitWriteFailed;
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

const Command kCommands[] = {
    {"plan", "plan --speed KBPS [--format text|tsv]",
     "Lists every step of the boost for a connection speed: what each writes where,\n"
     "which Windows versions read that value, the type they expect, and what it does on\n"
     "Windows 10 and 11, with how sure that is and its sources (see docs/values.md).\n"
     "--format tsv prints one tab-separated line per step under a header line instead:\n"
     "step, root, key, value, type, data ('-' where the step writes nothing), read_by,\n"
     "expected_type, effect_windows_10_11, confidence, sources.",
     "--speed --format", cmdPlan},
    {"apply", "apply --speed KBPS [--dry-run] [--no-backup]",
     "Writes the plan for a connection speed, step by step, as the wizard does (without\n"
     "its pauses). First it takes the wizard's backup, which restore puts back, unless\n"
     "--no-backup is given. --dry-run only says what would be written, and takes no backup.",
     "--speed --dry-run --no-backup", cmdApply},
    {"check", "check --speed KBPS",
     "Exits 0 when the registry already holds exactly what apply --speed KBPS would write,\n"
     "and 1 when not, listing each value that differs with its data now and the data wanted.\n"
     "For configuration tools: check detects, apply remedies.",
     "--speed", cmdCheck},
    {"show", "show",
     "Prints the current state of every value the plan writes, as .reg text\n"
     "(an absent value as \"Name\"=-).",
     "", cmdShow},
    {"export", "export --speed KBPS [-o FILE]",
     "Writes what apply would write as a .reg file, for the registry editor or Group Policy.",
     "--speed -o", cmdExport},
    {"import", "import FILE",
     "Applies a .reg file (FILE may be - for standard input). The whole file is checked\n"
     "before anything is changed.",
     "", cmdImport},
    {"restore", "restore [--yes]",
     "Puts back the values saved by the backup of the wizard or of apply, undoing the boosts\n"
     "made since; restoring again changes nothing. Without a backup, deletes the values the\n"
     "boost changes. Asks first unless --yes is given.",
     "--yes", cmdRestore},
};

void printUsage(TextSink& out)
{
    out << "Usage: " << kProgram << " COMMAND [OPTIONS]\n\nCommands:\n";
    for (const Command& c : kCommands)
        out << "  " << c.synopsis << '\n';
    out << "\nEvery command takes --registry PATH (the store file to use; ignored on Windows) and --help.\n"
        << "Exit codes: 0 success, 1 some write failed (check: the registry differs from the plan),\n"
        << "2 bad usage or unreadable input.\n";
}

bool takes(const Command& c, const std::string& option)
{
    const std::string words = std::string(" ") + c.options + " ";
    return words.find(" " + option + " ") != std::string::npos;
}

Options parseOptions(const Command& c, const std::vector<std::string>& args)
{
    Options o;
    for (std::size_t i = 1; i < args.size(); ++i) {
        std::string word = args[i];
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
        if (word == "--help" || word == "-h") {
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
            if (o.format != "text" && o.format != "tsv")
                throw UsageError{"--format takes text or tsv, not \"" + o.format + "\""};
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
    if (o.help)
        return o;
    if (takes(c, "--speed") && !o.speed)
        throw UsageError{"'" + std::string(c.name) + "' needs --speed KBPS"};
    if (std::string(c.name) != "import" && !o.positional.empty())
        throw UsageError{"unexpected word '" + o.positional[0] + "'"};
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
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        printUsage(args.empty() ? io.err : io.out);
        return args.empty() ? kExitUsage : kExitOk;
    }
    const Command* command = nullptr;
    for (const Command& c : kCommands)
        if (args[0] == c.name)
            command = &c;
    if (!command) {
        io.err << kProgram << ": unknown command '" << args[0] << "'\n";
        printUsage(io.err);
        return kExitUsage;
    }
    try {
        const Options o = parseOptions(*command, args);
        if (o.help) {
            io.out << "Usage: " << kProgram << ' ' << command->synopsis << " [--registry PATH]\n\n"
                   << command->help << '\n';
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
        return kExitUsage;
    }
}

}  // namespace ferro
