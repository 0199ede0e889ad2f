#include "cli/Commands.h"

#include <algorithm>

#include "cli/CommandBodies.h"
#include "cli/CommandSupport.h"
#include "version/VersionNotice.h"

namespace ferro {
namespace {

// Help lines fit an 80-column terminal with the cursor after them.
constexpr std::size_t kHelpWidth = 79;

// How every command writes a value's data for programs.
const char* const kDataHelp =
    "In JSON (format 2) a value's state (now, wanted) is null when absent, else an object with its type "
    "(REG_SZ, REG_DWORD, ...) and its data: a string for REG_SZ and REG_EXPAND_SZ, a number for REG_DWORD, an "
    "array of strings for REG_MULTI_SZ, hex text for any other type. In TSV the data is plain: text as it "
    "is (a tab, line feed or carriage return as \\t, \\n or \\r), a REG_DWORD in decimal, the strings of a "
    "REG_MULTI_SZ joined by \\0, any other type in hex; an absent value is a dash (-).";

// One command: what it takes, what `help COMMAND` says, and its body.
struct Command {
    CommandLine line;
    const char* help;  // one paragraph per line
    int (*run)(const Options&, CliStreams&);
};

const Accepted kPlanOptions[] = {
    {Option::Speed, true},
    {Option::Format, false, kTextTsvJson,
     "text (the default) for a terminal; tsv: a header line, then one tab-separated line per step: step, root, "
     "key, value, type, data ('-' where the step writes nothing), read_by, expected_type, effect_windows_10_11, "
     "confidence, sources; json: one object with format, speed and steps, each step with step, path, root, key, "
     "value, wanted (null where the step writes nothing) and the columns from read_by on"}};
const Accepted kApplyOptions[] = {
    {Option::Speed, true},
    {Option::Part},
    {Option::DryRun, false, {},
     "write nothing; list each value that would change, with its data now and the data wanted, as check does"},
    {Option::NoBackup, false, {}, "boost without taking the backup first"}};
const Accepted kCheckOptions[] = {
    {Option::Speed, true},
    {Option::Part},
    {Option::Format, false, kTextTsvJson,
     "text (the default) for a terminal; tsv: a header line and one line per differing value (root, key, value, "
     "now_type, now, wanted_type, wanted); json: one object with format, speed, part, holds, planned (how many "
     "values the part writes), differing, summary and differences, each with path, root, key, value, now, wanted "
     "and, when it could not be read, error"}};
const Accepted kShowOptions[] = {
    {Option::Format, false, kTextJson,
     "text (the default): .reg text, an absent value as \"Name\"=-; json: one object with format and values, each "
     "with path, root, key, value, now and, when it could not be read, error"}};
const Accepted kExportOptions[] = {{Option::Speed, true}, {Option::Output}};
const Accepted kRestoreOptions[] = {{Option::Part}, {Option::Yes}};
const Accepted kLeftoversOptions[] = {
    {Option::Format, false, kTextTsvJson,
     "text (the default) for a terminal; tsv: a header line, then one tab-separated line per setting: name, "
     "verdict, now, value, harmful_when, effect, default, label, sources, group_policy, note, remedy; json: one "
     "object with harmful, unreadable, summary and rows (the same fields, harmful and group_policy as true or "
     "false)"},
    {Option::Fix, false, {},
     "first write the present state of the harmful registry values to Backup\\Leftovers.reg, then put their "
     "defaults back; for the other harmful settings print the documented command, and run nothing"},
    {Option::DryRun, false, {}, "with --fix: write nothing; list what --fix would change"},
    {Option::Undo, false, {}, "put back exactly the values Backup\\Leftovers.reg holds, then remove it"}};

const Command kCommands[] = {
    {{"plan", kPlanOptions},
     "Lists every step of the boost for a connection speed: what each writes where, which Windows versions "
     "read that value, the type they expect, and what it does on Windows 10 and 11, with how sure that is and "
     "its sources (see docs/values.md).",
     cmdPlan},
    {{"apply", kApplyOptions},
     "Writes the plan for a connection speed, step by step, as the wizard does (without its pauses), and says "
     "how many values it changed (0 when the registry held them).\n"
     "First it takes the wizard's backup, which restore puts back, unless --no-backup is given or only the user "
     "part is applied (the backup is the machine's, in the program folder).",
     cmdApply},
    {{"check", kCheckOptions},
     "Exits 0 when the registry already holds exactly what apply --speed KBPS would write, and 1 when not, "
     "listing each value that differs with its data now and the data wanted.\n"
     "For configuration tools: check detects, apply remedies.",
     cmdCheck},
    {{"show", kShowOptions}, "Prints the current state of every value the plan writes.", cmdShow},
    {{"export", kExportOptions},
     "Writes what apply would write as a .reg file, for the registry editor or Group Policy.",
     cmdExport},
    {{"import", {}, "FILE"},
     "Applies a .reg file (FILE may be - for standard input). The whole file is checked before anything is "
     "changed.",
     cmdImport},
    {{"restore", kRestoreOptions},
     "Puts back the values saved by the backup of the wizard or of apply, undoing the boosts made since; "
     "restoring again changes nothing. Without a backup, deletes the values the boost changes. Asks first "
     "unless --yes is given.",
     cmdRestore},
    {{"leftovers", kLeftoversOptions},
     "Reports the settings that old tuning left behind and that Microsoft documents as limiting networking on "
     "today's Windows, and the usual ones that do nothing harmful: for each, what is set now, whether it is "
     "harmful, the documented effect, the default, the label and the sources (docs/leftovers.md has the table). "
     "A Group Policy in force is named.\n"
     "Exits 0 when nothing harmful is found, 1 when something is, 3 when nothing harmful was found but a "
     "setting this system should have could not be read. With --fix: 0 when nothing harmful remains, 1 when "
     "something does (its command is printed), 3 when a value could not be written.",
     cmdLeftovers},
    {{"log", {}},
     "Prints the change log: one line for every value that apply, restore, leftovers --fix and leftovers "
     "--undo changed (the time in UTC, the command, the value, before and after), tab-separated.",
     cmdLog},
};

// Where the word at `at` ends: at a blank outside brackets, so that
// "[--format text|tsv]" stays on one line.
std::size_t wordEnd(std::string_view text, std::size_t at)
{
    int depth = 0;
    for (; at < text.size() && (text[at] != ' ' || depth > 0); ++at)
        depth += text[at] == '[' ? 1 : text[at] == ']' ? -1 : 0;
    return at;
}

// `text` in lines of at most kHelpWidth columns, broken at blanks: the first
// line starts with `first`, the others with `rest`.
void wrap(TextSink& out, std::string_view text, const std::string& first, const std::string& rest)
{
    std::string line = first;
    bool empty = true;
    for (std::size_t at = text.find_first_not_of(' '); at != std::string_view::npos;
         at = text.find_first_not_of(' ', at)) {
        const std::size_t end = wordEnd(text, at);
        const std::string_view word = text.substr(at, end - at);
        if (!empty && line.size() + 1 + word.size() > kHelpWidth) {
            out << line << '\n';
            line = rest;
            empty = true;
        }
        line += (empty ? "" : " ") + std::string(word);
        empty = false;
        at = end;
    }
    out << line << '\n';
}

// Each line of `text` as a paragraph of its own.
void paragraphs(TextSink& out, std::string_view text)
{
    for (std::size_t at = 0; at <= text.size();) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        wrap(out, text.substr(at, end - at), "", "");
        at = end + 1;
    }
}

void printUsage(TextSink& out)
{
    out << "Usage: " << kProgram << " COMMAND [OPTIONS] [--] [FILE]\n"
        << "  or:  " << kProgram << " help COMMAND\n"
        << "  or:  " << kProgram << " --help | --version\n\nCommands:\n";
    // Name, then the rest of the synopsis, in two columns (as man pages show them).
    for (const Command& c : kCommands) {
        const std::string name = c.line.command;
        const std::string rest = synopsis(c.line).substr(std::min(name.size() + 1, synopsis(c.line).size()));
        if (rest.empty())  // "log" takes nothing: its name alone, no padding after it
            out << "  " << name << '\n';
        else
            wrap(out, rest, "  " + name + std::string(10 - name.size(), ' '), std::string(12, ' '));
    }
    out << '\n';
    paragraphs(out, kDataHelp);
    out << '\n';
    paragraphs(out, "Every command takes --registry PATH (the store file to use; ignored on Windows) and --help "
                    "(also -h, -? and /?). -- ends the options: every word after it is a FILE. 'help COMMAND' "
                    "describes a command and its options.");
    out << "\nExit codes, the same for every command:\n"
        << "  0  done; check: the registry holds the plan\n"
        << "  1  check: the registry does not hold the plan;\n"
        << "     leftovers: a setting that limits networking is set\n"
        << "  2  bad usage or unreadable input\n"
        << "  3  the registry, the store or a file could not be read or written\n";
}

void printSynopsis(TextSink& out, const Command& c)
{
    wrap(out, synopsis(c.line) + " [--registry PATH]", "Usage: " + std::string(kProgram) + " ", "         ");
}

// "  --part machine|user|both" and its help beside it, or under it when the
// option is too wide.
void printOption(TextSink& out, const Accepted& a)
{
    constexpr std::size_t kColumn = 24;
    const std::string shown = "  " + optionSynopsis(a);
    const OptionDef& def = optionDef(a.id);
    const std::string help = (a.help ? a.help : def.help) + (def.alias ? std::string(" (also ") + def.alias + ")" : "");
    const std::string indent(kColumn, ' ');
    if (shown.size() + 1 < kColumn) {
        wrap(out, help, shown + std::string(kColumn - shown.size(), ' '), indent);
    } else {
        out << shown << '\n';
        wrap(out, help, indent, indent);
    }
}

void printCommandHelp(const Command& c, TextSink& out)
{
    printSynopsis(out, c);
    out << '\n';
    paragraphs(out, c.help);
    out << "\nOptions:\n";
    for (const Accepted& a : c.line.options)
        printOption(out, a);
    printOption(out, {Option::Registry});
}

const Command* findCommand(const std::string& name)
{
    const auto found = std::find_if(std::begin(kCommands), std::end(kCommands),
                                    [&](const Command& c) { return name == c.line.command; });
    return found == std::end(kCommands) ? nullptr : found;
}

int runHelp(const std::vector<std::string>& args, CliStreams& io)
{
    const Command* topic = findCommand(args[1]);
    if (!topic || args.size() > 2) {
        io.err << kProgram << ": help takes one command name, not '" << args[1] << "'\n";
        printUsage(io.err);
        return kExitUsage;
    }
    printCommandHelp(*topic, io.out);
    return kExitOk;
}

int runCommand(const Command& command, const std::vector<std::string>& args, CliStreams& io)
{
    try {
        const Options o = parseOptions(command.line, {args.begin() + 1, args.end()});
        if (o.help) {
            printCommandHelp(command, io.out);
            return kExitOk;
        }
        return command.run(o, io);
    } catch (const UsageError& e) {
        io.err << kProgram << ' ' << command.line.command << ": " << e.message << '\n';
        printSynopsis(io.err, command);
        return kExitUsage;
    } catch (const std::exception& e) {
        // Store errors: a damaged, foreign or unopenable store file.
        io.err << kProgram << ": " << e.what() << '\n';
        return kExitFailed;
    }
}

}  // namespace

int runCli(const std::vector<std::string>& args, CliStreams io)
{
    if (args.empty() || isHelpWord(args[0]) || (args[0] == "help" && args.size() == 1)) {
        printUsage(args.empty() ? io.err : io.out);
        return args.empty() ? kExitUsage : kExitOk;
    }
    if (args[0] == "--version" || args[0] == "-V") {
        io.out << kProgram << ' ' << FERRO_VERSION << '\n' << kVersionNotice;
        return kExitOk;
    }
    if (args[0] == "help")
        return runHelp(args, io);
    const Command* command = findCommand(args[0]);
    if (!command) {
        io.err << kProgram << ": unknown command '" << args[0] << "'\n";
        printUsage(io.err);
        return kExitUsage;
    }
    return runCommand(*command, args, io);
}

}  // namespace ferro
