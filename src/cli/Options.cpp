#include "cli/Options.h"

#include <algorithm>

namespace ferro {

const std::string_view kPartChoices[3] = {"machine", "user", "both"};
const std::string_view kTextTsvJson[3] = {"text", "tsv", "json"};
const std::string_view kTextJson[2] = {"text", "json"};

namespace {

const OptionDef kOptions[] = {
    {Option::Speed, "--speed", nullptr, "KBPS", {}, "the connection speed in Kbps (0 to 4294967295)"},
    {Option::Part, "--part", nullptr, "PART", kPartChoices,
     "machine: only the values under HKEY_LOCAL_MACHINE (run elevated, once per PC); user: only those under "
     "HKEY_CURRENT_USER (run as each user: they land in the profile of the account that runs the tool); both "
     "(the default): all of them"},
    {Option::Format, "--format", nullptr, "FORMAT", kTextTsvJson, "how the output is written"},
    {Option::Output, "-o", "--output", "FILE", {}, "the file to write (- or none: standard output)"},
    {Option::DryRun, "--dry-run", nullptr, nullptr, {}, "write nothing; list what would change"},
    {Option::NoBackup, "--no-backup", nullptr, nullptr, {}, "do not take the backup first"},
    {Option::Yes, "--yes", nullptr, nullptr, {}, "do not ask first"},
    {Option::Fix, "--fix", nullptr, nullptr, {}, "put the harmful values back to their defaults"},
    {Option::Undo, "--undo", nullptr, nullptr, {}, "put back what the last fix changed"},
    // Taken by every command.
    {Option::Registry, "--registry", nullptr, "PATH", {}, "the registry store file to use (ignored on Windows)"},
};

const Accepted* findAccepted(const CommandLine& line, std::string_view word)
{
    for (const Accepted& a : line.options) {
        const OptionDef& def = optionDef(a.id);
        if (word == def.name || (def.alias && word == def.alias))
            return &a;
    }
    return nullptr;
}

std::uint32_t parseSpeed(const std::string& text)
{
    const bool digits = !text.empty() && text.size() <= 10 &&
                        text.find_first_not_of("0123456789") == std::string::npos;
    if (!digits || std::stoull(text) > 4294967295ULL)
        throw UsageError{"--speed takes a whole number of Kbps from 0 to 4294967295, not \"" + text + "\""};
    return static_cast<std::uint32_t>(std::stoull(text));
}

// Checks a value against the choices the command allows.
void checkChoice(const Accepted& accepted, const std::string& value)
{
    const auto choices = choicesOf(accepted);
    if (!choices.empty() && std::find(choices.begin(), choices.end(), value) == choices.end())
        throw UsageError{std::string(optionDef(accepted.id).name) + " takes " + choiceList(choices) + ", not \"" +
                         value + "\""};
}

void set(Options& o, Option id, const std::string& value)
{
    switch (id) {
    case Option::Speed: o.speed = parseSpeed(value); break;
    case Option::Part:
        o.part = value == "machine" ? PlanPart::Machine : value == "user" ? PlanPart::User : PlanPart::Both;
        break;
    case Option::Format: o.format = value; break;
    case Option::Output: o.output = value; break;
    case Option::DryRun: o.dryRun = true; break;
    case Option::NoBackup: o.noBackup = true; break;
    case Option::Yes: o.yes = true; break;
    case Option::Fix: o.fix = true; break;
    case Option::Undo: o.undo = true; break;
    case Option::Registry: break;  // taken by every command: see parseOptions
    }
}

void setRegistry(Options& o, const std::string& value)
{
    // An unset variable in a script must not mean the user's own store.
    if (value.empty())
        throw UsageError{"--registry needs a file name; it was given an empty one"};
    o.registry = value;
}

void requireWhatItNeeds(const CommandLine& line, const Options& o)
{
    for (const Accepted& a : line.options)
        if (a.required && a.id == Option::Speed && !o.speed)
            throw UsageError{"'" + std::string(line.command) + "' needs --speed KBPS"};
    if (line.operand && o.files.size() != 1)
        throw UsageError{std::string(line.command) + " takes exactly one " + line.operand};
    if (!line.operand && !o.files.empty())
        throw UsageError{"unexpected word '" + o.files[0] + "'"};
}

// One call's words, one at a time: "--name=value" is split, and a value is
// the next word where none is attached.
class Words {
public:
    explicit Words(const std::vector<std::string>& words) : words_(words) {}
    bool next(std::string& word)
    {
        if (at_ >= words_.size())
            return false;
        word = words_[at_++];
        attached_.reset();
        const std::size_t equals = word.find('=');
        if (word.rfind("--", 0) == 0 && equals != std::string::npos) {
            attached_ = word.substr(equals + 1);
            word.erase(equals);
        }
        return true;
    }
    std::string value(const std::string& option)
    {
        if (attached_)
            return *attached_;
        if (at_ >= words_.size())
            throw UsageError{option + " needs a value"};
        return words_[at_++];
    }

private:
    const std::vector<std::string>& words_;
    std::size_t at_ = 0;
    std::optional<std::string> attached_;
};

}  // namespace

const OptionDef& optionDef(Option id)
{
    return *std::find_if(std::begin(kOptions), std::end(kOptions), [id](const OptionDef& d) { return d.id == id; });
}

std::span<const std::string_view> choicesOf(const Accepted& accepted)
{
    return accepted.choices.empty() ? optionDef(accepted.id).choices : accepted.choices;
}

bool isHelpWord(std::string_view word)
{
    return word == "--help" || word == "-h" || word == "-?" || word == "/?";
}

Options parseOptions(const CommandLine& line, const std::vector<std::string>& words)
{
    Options o;
    Words input(words);
    bool optionsEnded = false;
    for (std::string word; input.next(word);) {
        const Accepted* accepted = optionsEnded ? nullptr : findAccepted(line, word);
        if (!optionsEnded && isHelpWord(word)) {
            o.help = true;
        } else if (optionsEnded || word == "-" || word.empty() || word[0] != '-') {
            o.files.push_back(word);
        } else if (word == "--") {
            optionsEnded = true;
        } else if (word == optionDef(Option::Registry).name) {
            setRegistry(o, input.value(word));
        } else if (!accepted) {
            throw UsageError{"'" + std::string(line.command) + "' does not take " + word};
        } else {
            const std::string value = optionDef(accepted->id).value ? input.value(word) : std::string();
            checkChoice(*accepted, value);
            set(o, accepted->id, value);
        }
    }
    if (!o.help)
        requireWhatItNeeds(line, o);
    return o;
}

std::string choiceList(std::span<const std::string_view> choices)
{
    std::string text;
    for (std::size_t i = 0; i < choices.size(); ++i)
        text += std::string(i == 0 ? "" : i + 1 == choices.size() ? " or " : ", ") + std::string(choices[i]);
    return text;
}

std::string optionSynopsis(const Accepted& accepted)
{
    const OptionDef& def = optionDef(accepted.id);
    if (!def.value)
        return def.name;
    std::string value;
    for (std::string_view choice : choicesOf(accepted))
        value += (value.empty() ? "" : "|") + std::string(choice);
    return def.name + (" " + (value.empty() ? std::string(def.value) : value));
}

std::string synopsis(const CommandLine& line)
{
    std::string text = line.command;
    if (line.operand)
        text += std::string(" ") + line.operand;
    for (const Accepted& a : line.options)
        text += " " + (a.required ? optionSynopsis(a) : "[" + optionSynopsis(a) + "]");
    return text;
}

}  // namespace ferro
