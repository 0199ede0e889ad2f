// `ferrowinder-cli plan` on the systems the 32-bit program runs on: on 98 and
// Me it names the steps those systems read and says that the restart applies
// them; on 2000 and XP it says what is known there; each step adds its line.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "cli/PlanReport.h"
#include "tuning/ValueEffects.h"

namespace ferro {
namespace {

std::string unwrapped(const std::string& text)
{
    std::istringstream in(text);
    std::string out;
    for (std::string word; in >> word;)
        out += (out.empty() ? "" : " ") + word;
    return out;
}

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
