// `ferrowinder-cli plan`: the effect of each step beside it, for a terminal
// and for programs, and the Windows it names.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "cli/PlanReport.h"
#include "tuning/ValueEffects.h"

namespace ferro {
namespace {

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::stringstream in(text);
    for (std::string part; std::getline(in, part, separator);)
        parts.push_back(part);
    return parts;
}

// The text as one line with single blanks, as a reader follows a wrapped paragraph.
std::string unwrapped(const std::string& text)
{
    std::istringstream in(text);
    std::string out;
    for (std::string word; in >> word;)
        out += (out.empty() ? "" : " ") + word;
    return out;
}

const WindowsVersion kWindows10{10, 0, 19045, false, ""};
const WindowsVersion kWindows7UnderWine{6, 1, 7601, false, "8.0"};

TEST(PlanReport, TsvParsesBackIntoThePlanAndTheEffectTable)
{
    for (std::uint32_t speed : {56u, 57u, 20001u}) {
        const std::vector<std::string> lines = split(planTsv(speed), '\n');
        ASSERT_EQ(lines.size(), 1u + kPlanSteps) << speed;
        const std::vector<std::string> names = split(lines[0], '\t');
        ASSERT_EQ(names.size(), 11u);
        for (int step = 1; step <= kPlanSteps; ++step) {
            std::map<std::string, std::string> row;
            const std::vector<std::string> fields = split(lines[static_cast<std::size_t>(step)], '\t');
            ASSERT_EQ(fields.size(), names.size()) << "step " << step;
            for (std::size_t i = 0; i < names.size(); ++i)
                row[names[i]] = fields[i];
            const PlanEntry& e = planEntry(step);
            const ValueEffect& effect = effectOf(e);
            EXPECT_EQ(row["step"], std::to_string(step));
            EXPECT_EQ(row["root"], rootName(e.root));
            EXPECT_EQ(row["key"], e.keyPath);
            EXPECT_EQ(row["value"], e.valueName);
            EXPECT_EQ(row["type"], e.type == kRegDword ? "REG_DWORD" : "REG_SZ");
            EXPECT_EQ(row["data"], planData(e, speed).value_or("-")) << "step " << step << " at " << speed;
            EXPECT_EQ(row["read_by"], effect.readBy);
            EXPECT_EQ(row["expected_type"], effect.expectedType);
            EXPECT_EQ(row["effect_windows_10_11"], effect.effect);
            EXPECT_EQ(row["confidence"], confidenceLabel(effect.confidence));
            EXPECT_EQ(row["sources"], effect.sources);
        }
    }
}

TEST(PlanReport, TextFitsEightyColumnsAndShowsEveryEffectWithItsLabel)
{
    const std::optional<WindowsVersion> systems[] = {std::nullopt, kWindows10, kWindows7UnderWine};
    for (const std::optional<WindowsVersion>& running : systems) {
        for (std::uint32_t speed : {56u, 57u, 20001u}) {
            const std::string text = planText(speed, running);
            for (const std::string& line : split(text, '\n'))
                EXPECT_LE(line.size(), 80u) << line;
            const std::string flat = unwrapped(text);
            for (const ValueEffect& e : valueEffects()) {
                const std::string shown = std::string("Effect: ") + e.effect + " [" + confidenceLabel(e.confidence) +
                                          "; " + e.sources + "]";
                bool written = false;
                for (const PlanEntry& entry : tuningPlan())
                    written = written || (entry.valueName == std::string(e.valueName) && planData(entry, speed));
                EXPECT_EQ(flat.find(shown) != std::string::npos, written) << e.valueName << " at " << speed;
            }
            EXPECT_NE(flat.find("MaxConnectionsPer1_0Server = \"dword:00000010\" (REG_SZ) in HKEY_CURRENT_USER"),
                      std::string::npos);
            EXPECT_NE(flat.find("The same write as step 8."), std::string::npos);
            EXPECT_EQ(flat.find("MTU: nothing is written at this speed (REG_DWORD)") != std::string::npos, speed == 56);
        }
    }
}

TEST(PlanReport, NamesTheRunningWindowsAndSaysWhichEffectsItShows)
{
    const std::pair<WindowsVersion, const char*> described[] = {
        {{10, 0, 22000, false, ""}, "This PC runs Windows 11 (10.0.22000): the effects shown are those"},
        {{10, 0, 21999, false, "8.0"}, "This PC runs Windows 10 (10.0.21999), under Wine 8.0: the effects"},
        {{10, 0, 17763, true, ""}, "This PC runs Windows Server (10.0.17763), for which no effects are described"},
        {{6, 3, 9600, false, ""}, "This PC runs Windows 8.1 (6.3.9600), for which no effects are described"},
    };
    for (const auto& [version, header] : described)
        EXPECT_NE(unwrapped(planText(57, version)).find(header), std::string::npos) << header;
    EXPECT_NE(unwrapped(planText(57, std::nullopt)).find("This is not Windows"), std::string::npos);
}

// On the systems the 32-bit program runs on: on 98 and Me the plan names the
// steps those systems read and says that the restart applies them; on 2000
// and XP it says what is known there; each step adds its line.
std::size_t count(const std::string& text, const std::string& part)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

WindowsVersion windows98Se()
{
    WindowsVersion v{4, 10, 2222, false, ""};
    v.windows9x = true;
    return v;
}

// One effect line per value: steps 8 and 9 write the same one.
constexpr std::size_t kStepsWithEffect = kPlanValues;

TEST(PlanOnOlderWindows, On98AndMeNamesTheStepsTheyReadAndTheRestart)
{
    const std::string text = unwrapped(planText(57, windows98Se()));
    EXPECT_NE(text.find("This PC runs Windows 98 SE (4.10.2222): Windows 98 and Me read steps 1, 2, 3, 4, 5, 6, 7 "
                        "and 11 of this plan where it writes them, and the restart applies them."),
              std::string::npos)
        << text;
    EXPECT_EQ(count(text, "On Windows 98 and Me: "), kStepsWithEffect);
    EXPECT_EQ(count(text, "On Windows 2000 and XP: "), 0u);
    EXPECT_NE(text.find("On Windows 98 and Me: Read as a decimal string, as written; the restart applies it. "
                        "[documented; S1]"),
              std::string::npos);
}

TEST(PlanOnOlderWindows, On2000AndXpSaysWhatIsKnownThere)
{
    for (const WindowsVersion& xp : {WindowsVersion{5, 1, 2600, false, ""}, WindowsVersion{5, 0, 2195, false, ""}}) {
        const std::string text = unwrapped(planText(57, xp));
        EXPECT_NE(text.find(": each step says what is known for Windows 2000 and XP"), std::string::npos) << text;
        EXPECT_EQ(count(text, "On Windows 2000 and XP: "), kStepsWithEffect);
        EXPECT_EQ(count(text, "On Windows 98 and Me: "), 0u);
    }
}

TEST(PlanOnOlderWindows, NewerSystemsGetNoOlderLines)
{
    for (const std::optional<WindowsVersion>& running :
         {std::optional<WindowsVersion>{}, std::optional<WindowsVersion>{WindowsVersion{10, 0, 22631, false, ""}},
          std::optional<WindowsVersion>{WindowsVersion{6, 1, 7601, false, ""}}}) {
        const std::string text = planText(57, running);
        EXPECT_EQ(text.find("On Windows 98 and Me"), std::string::npos);
        EXPECT_EQ(text.find("On Windows 2000 and XP"), std::string::npos);
    }
}

#ifndef _WIN32
std::string projectFile(const std::string& name)
{
    std::ifstream in(std::string(FERRO_SOURCE_DIR) + "/" + name);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// docs/values.md shows each value's lines for the older systems as the plan
// prints them, in its own table, with sources from its source list.
TEST(PlanOnOlderWindows, TheDocumentShowsTheSameTextsLabelsAndSources)
{
    const std::string values = projectFile("docs/values.md");
    const std::size_t table = values.find("\n## On the systems the 32-bit program runs on");
    ASSERT_NE(table, std::string::npos);
    const std::string section = values.substr(table, values.find("\n## ", table + 1) - table);
    const std::string sourceList = values.substr(values.find("\n## Sources"));
    for (const ValueEffect& e : valueEffects()) {
        std::string row;
        std::istringstream in(section);
        for (std::string line; std::getline(in, line);)
            if (line.find("| `" + std::string(e.valueName) + "` |") != std::string::npos)
                row = line;
        std::string cells;
        for (const OlderWindowsEffect& older : {e.on98Me, e.on2000Xp}) {
            cells += std::string(" | ") + older.text + " | " + confidenceLabel(older.confidence) + " | " + older.sources;
            std::stringstream keys(older.sources);
            for (std::string key; std::getline(keys, key, ',');)
                EXPECT_NE(sourceList.find("\n- " + key + " "), std::string::npos) << key << " is not in the source list";
        }
        EXPECT_NE(row.find(cells + " |"), std::string::npos) << e.valueName << ":\n" << row << "\n" << cells;
    }
}
#endif

}  // namespace
}  // namespace ferro
