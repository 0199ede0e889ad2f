// `ferrowinder-cli plan`: the effect of each step beside it, for a terminal
// and for programs, and the Windows it names.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace ferro
