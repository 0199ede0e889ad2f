#include "cli/PlanReport.h"

#include <algorithm>
#include <vector>

#include "cli/ValueOutput.h"
#include "registry/modRegistry.h"
#include "tuning/TuningPlan.h"
#include "tuning/ValueEffects.h"

namespace ferro {
namespace {

constexpr std::size_t kWidth = 80;

// The text as lines of at most kWidth columns: the first begins with
// `first`, the later ones with `rest`. Lines break at blanks; a word too long
// for any line (a key path) breaks after a backslash, and so does the whole
// text when it is one name that must keep its blanks.
std::vector<std::string> wordsOf(const std::string& text)
{
    std::vector<std::string> words;
    const char* const blanks = " \t\n\v\f\r";
    for (std::size_t at = text.find_first_not_of(blanks); at != std::string::npos;) {
        const std::size_t end = text.find_first_of(blanks, at);
        words.push_back(text.substr(at, end - at));
        at = text.find_first_not_of(blanks, end);
    }
    return words;
}

void wrap(std::string& out, const std::string& first, const std::string& rest, const std::string& text,
          bool oneName = false)
{
    const std::vector<std::string> words = oneName ? std::vector<std::string>{text} : wordsOf(text);
    std::string line = first;
    bool empty = true;
    for (std::string w : words) {
        for (;;) {
            const std::string blank = empty ? "" : " ";
            const std::size_t used = line.size() + blank.size();
            const std::size_t room = used < kWidth ? kWidth - used : 0;
            if (w.size() <= room) {
                line += blank + w;
                empty = false;
                break;
            }
            const std::size_t cut =
                room > 0 && (empty || w.size() > kWidth - rest.size()) ? w.rfind('\\', room - 1) : std::string::npos;
            if (cut != std::string::npos) {
                line += blank + w.substr(0, cut + 1);
                w.erase(0, cut + 1);
            } else if (empty) {  // nowhere to break it: let it run over
                line += w;
                empty = false;
                break;
            }
            out += line + '\n';
            line = rest;
            empty = true;
        }
    }
    out += line + '\n';
}

// "steps 1, 2, 3, 4, 5, 6, 7 and 11": those whose value 98 or Me read.
std::string stepsReadOn98Me()
{
    std::vector<std::string> steps;
    for (const PlanEntry& e : tuningPlan())
        if (effectOf(e).on98Me.read && (steps.empty() || steps.back() != std::to_string(e.step)))
            steps.push_back(std::to_string(e.step));
    std::string text = "steps ";
    for (std::size_t i = 0; i < steps.size(); ++i)
        text += (i == 0 ? "" : i + 1 == steps.size() ? " and " : ", ") + steps[i];
    return text;
}

std::string header(std::uint32_t speedKbps, const std::optional<WindowsVersion>& running)
{
    std::string text = "The boost at " + std::to_string(speedKbps) +
                       " Kbps, step by step, with what each value does. On Windows 10 and 11 no value of "
                       "this plan is documented to change anything. ";
    if (!running)
        text += "This is not Windows: the values go to FerroWinder's own registry store, which nothing "
                "else reads. The effects shown are those on Windows 10 and 11.";
    else if (isWindows98OrMe(*running))
        text += "This PC runs " + windowsVersionName(*running) + ": Windows 98 and Me read " + stepsReadOn98Me() +
                " of this plan where it writes them, and the restart applies them. Each step says what is "
                "known for 98 and Me after its effect on Windows 10 and 11.";
    else if (isWindows2000OrXp(*running))
        text += "This PC runs " + windowsVersionName(*running) +
                ": each step says what is known for Windows 2000 and XP after its effect on Windows 10 and 11.";
    else if (isWindows10Or11(*running))
        text += "This PC runs " + windowsVersionName(*running) + ": the effects shown are those on Windows 10 and 11.";
    else
        text += "This PC runs " + windowsVersionName(*running) +
                ", for which no effects are described here: the effects shown are those on Windows 10 and 11, "
                "and \"Read by\" names the versions that read each value.";
    return text;
}

}  // namespace

std::string planText(std::uint32_t speedKbps, const std::optional<WindowsVersion>& running)
{
    std::string out;
    wrap(out, "", "", header(speedKbps, running));
    wrap(out, "", "",
         "Each effect ends with how sure it is (documented, widely reported or unconfirmed) and its "
         "sources, which FerroWinder's docs/values.md lists.");
    for (const PlanEntry& e : tuningPlan()) {
        out += '\n';
        std::string number = std::to_string(e.step);
        number.insert(0, 2 - std::min<std::size_t>(2, number.size()), ' ');
        const std::optional<std::string> data = planData(e, speedKbps);
        const std::string datum = !data ? std::string(": nothing is written at this speed")
                                  : e.type == kRegDword ? " = " + *data
                                                        : " = \"" + *data + "\"";
        wrap(out, number + "  ", "      ", e.valueName + datum + " (" + typeName(e.type) + ")");
        wrap(out, "    in ", "      ", std::string(rootName(e.root)) + "\\" + e.keyPath, true);
        if (!data)
            continue;
        const PlanEntry* same = nullptr;
        for (const PlanEntry& earlier : tuningPlan())
            if (!same && earlier.step < e.step &&
                samePlace({earlier.root, earlier.keyPath, earlier.valueName}, {e.root, e.keyPath, e.valueName}))
                same = &earlier;
        if (same) {
            wrap(out, "    ", "      ", "The same write as step " + std::to_string(same->step) + ".");
            continue;
        }
        const ValueEffect& effect = effectOf(e);
        wrap(out, "    ", "      ",
             std::string("Read by: ") + effect.readBy + ". Type expected: " + effect.expectedType + ".");
        wrap(out, "    ", "      ",
             std::string("Effect: ") + effect.effect + " [" + confidenceLabel(effect.confidence) + "; " +
                 effect.sources + "]");
        if (running && (isWindows98OrMe(*running) || isWindows2000OrXp(*running))) {
            const bool nineX = isWindows98OrMe(*running);
            const OlderWindowsEffect& older = nineX ? effect.on98Me : effect.on2000Xp;
            wrap(out, "    ", "      ",
                 std::string(nineX ? "On Windows 98 and Me: " : "On Windows 2000 and XP: ") + older.text + " [" +
                     confidenceLabel(older.confidence) + "; " + older.sources + "]");
        }
    }
    return out;
}

std::string planTsv(std::uint32_t speedKbps)
{
    std::string out =
        "step\troot\tkey\tvalue\ttype\tdata\tread_by\texpected_type\teffect_windows_10_11\tconfidence\tsources\n";
    for (const PlanEntry& e : tuningPlan()) {
        const ValueEffect& effect = effectOf(e);
        out += std::to_string(e.step) + '\t' + rootName(e.root) + '\t' + e.keyPath + '\t' + e.valueName + '\t' +
               typeName(e.type) + '\t' + planData(e, speedKbps).value_or("-") + '\t' + effect.readBy + '\t' +
               effect.expectedType + '\t' + effect.effect + '\t' + confidenceLabel(effect.confidence) + '\t' +
               effect.sources + '\n';
    }
    return out;
}

std::string planJson(std::uint32_t speedKbps)
{
    JsonWriter json;
    json.object().key("format").number(kJsonFormat).key("speed").number(speedKbps).key("steps").array();
    for (const PlanEntry& e : tuningPlan()) {
        const std::optional<std::string> data = planData(e, speedKbps);
        ValueState wanted{data.has_value(), e.type, {}};
        if (data && modRegistry::encodeData(e.type, *data, wanted.data) != kStatusOk)
            wanted.present = false;  // nothing is written then either
        const ValueEffect& effect = effectOf(e);
        writePlace(json.object().key("step").number(e.step), {e.root, e.keyPath, e.valueName});
        writeState(json.key("wanted"), wanted);
        json.key("read_by").string(effect.readBy).key("expected_type").string(effect.expectedType);
        json.key("effect_windows_10_11").string(effect.effect);
        json.key("confidence").string(confidenceLabel(effect.confidence)).key("sources").string(effect.sources);
        json.end();
    }
    return json.end().end().line();
}

}  // namespace ferro
