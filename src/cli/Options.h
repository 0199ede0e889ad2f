#pragma once
// The command line's options, each described once (its spellings, its value,
// its help line), the options each command takes, and the parse.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tuning/TuningPlan.h"

namespace ferro {

enum class Option { Speed, Part, Format, Output, DryRun, NoBackup, Yes, Fix, Undo, Registry };

struct OptionDef {
    Option id;
    const char* name;                       // "--speed"
    const char* alias;                      // another spelling, or nullptr
    const char* value;                      // what it takes ("KBPS"); nullptr for a switch
    std::span<const std::string_view> choices;  // the words it takes, when they are a fixed list
    const char* help;                       // one line, what it does
};

const OptionDef& optionDef(Option id);

// An option as one command takes it.
struct Accepted {
    Option id;
    bool required = false;
    std::span<const std::string_view> choices = {};  // empty: the option's own
    const char* help = nullptr;                  // what it does for this command; nullptr: the option's help
};

// The choices of `accepted`: its own, else its option's.
std::span<const std::string_view> choicesOf(const Accepted& accepted);

// The parsed words of one call.
struct Options {
    std::optional<std::uint32_t> speed;
    std::string registry;
    std::string output;
    std::string format = "text";
    PlanPart part = PlanPart::Both;
    std::vector<std::string> files;
    bool dryRun = false;
    bool noBackup = false;
    bool yes = false;
    bool fix = false;
    bool undo = false;
    bool help = false;
};

struct UsageError {
    std::string message;
};

// What a command takes: its options, and how many FILE words.
struct CommandLine {
    const char* command;
    std::span<const Accepted> options;
    const char* operand = nullptr;  // "FILE" when it takes exactly one, else nullptr
};

// The words after the command's name; throws UsageError naming the first bad one.
Options parseOptions(const CommandLine& line, const std::vector<std::string>& words);

bool isHelpWord(std::string_view word);

// "--part machine|user|both", "--speed KBPS", "--dry-run"
std::string optionSynopsis(const Accepted& accepted);
// "plan --speed KBPS [--format text|tsv]"
std::string synopsis(const CommandLine& line);

// "text, tsv or json"
std::string choiceList(std::span<const std::string_view> choices);

// The choices of --part, and those --format can take.
extern const std::string_view kPartChoices[3];
extern const std::string_view kTextTsvJson[3];
extern const std::string_view kTextJson[2];

}  // namespace ferro
