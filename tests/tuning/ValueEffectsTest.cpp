// The effect table beside the tuning plan: one row for every value the plan
// writes, and the same labels and sources as the project's documents.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "tuning/ValueEffects.h"

namespace ferro {
namespace {

TEST(ValueEffects, EveryValueThePlanWritesHasExactlyOneRow)
{
    std::multiset<std::string> planNames;
    for (const ValuePath& v : planValues())
        planNames.insert(v.valueName);
    std::multiset<std::string> rowNames;
    for (const ValueEffect& e : valueEffects())
        rowNames.insert(e.valueName);
    EXPECT_EQ(planNames.size(), static_cast<std::size_t>(kPlanValues));
    EXPECT_EQ(rowNames, planNames);  // also: no name twice, so the name is a sound key
    for (const PlanEntry& entry : tuningPlan())
        EXPECT_STREQ(effectOf(entry).valueName, entry.valueName) << "step " << entry.step;
}

#ifndef _WIN32
std::vector<std::string> sourceKeys(const ValueEffect& e)
{
    std::vector<std::string> keys;
    std::stringstream in(e.sources);
    for (std::string key; std::getline(in, key, ',');)
        keys.push_back(key);
    return keys;
}

std::string projectFile(const std::string& name)
{
    std::ifstream in(std::string(FERRO_SOURCE_DIR) + "/" + name);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The table row of a document that names this value in backticks.
std::string rowOf(const std::string& document, const std::string& valueName)
{
    std::istringstream in(document);
    for (std::string line; std::getline(in, line);)
        if (line.rfind("| ", 0) == 0 && line.find("`" + valueName + "`") != std::string::npos)
            return line;
    return {};
}

TEST(ValueEffects, TheDocumentsShowTheSameLabelsAndSources)
{
    const std::string values = projectFile("docs/values.md");
    const std::string readme = projectFile("README.md");
    ASSERT_FALSE(values.empty());
    ASSERT_FALSE(readme.empty());
    const std::string sourceList = values.substr(values.find("\n## Sources"));
    for (const ValueEffect& e : valueEffects()) {
        const std::string label = std::string(" | ") + confidenceLabel(e.confidence) + " |";
        const std::string row = rowOf(values, e.valueName);
        EXPECT_NE(row.find(std::string("| ") + e.effect + label + " " + e.sources + " |"), std::string::npos)
            << "docs/values.md, " << e.valueName << ":\n" << row;
        EXPECT_NE(rowOf(readme, e.valueName).find(std::string("| ") + e.effect + label), std::string::npos)
            << "README.md, " << e.valueName;
        const std::vector<std::string> keys = sourceKeys(e);
        EXPECT_FALSE(keys.empty()) << e.valueName << " names no source";
        for (const std::string& k : keys)
            EXPECT_NE(sourceList.find("\n- " + k + " "), std::string::npos) << k << " is not in the source list";
    }
}
#endif

}  // namespace
}  // namespace ferro
