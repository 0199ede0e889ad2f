// `ferrowinder-cli check`: exit 0 when the registry holds what apply would
// write at that speed, else 1 listing each value that differs.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>

#include "cli/CliRun.h"
#include "cli/JsonValue.h"
#include "registry/RegFile.h"
#include "registry/TestRegistry.h"
#include "tuning/PlanCheck.h"
#include "tuning/TuningPlan.h"

namespace ferro {
namespace {

using test::StringSink;
using test::StringSource;

class CheckCliTest : public ::testing::Test {
protected:
    int run(std::vector<std::string> args)
    {
        const test::CliResult r = test::runTool(std::move(args), reg.storePath());
        output = r.out;
        return r.code;
    }
    int check(std::uint32_t speed) { return run({"check", "--speed", std::to_string(speed)}); }
    void apply(std::uint32_t speed) { ASSERT_EQ(run({"apply", "--speed", std::to_string(speed)}), kExitOk); }

    // What the last check listed: full value path -> "now X, wanted Y".
    std::map<std::string, std::string> listed() const
    {
        std::map<std::string, std::string> values;
        std::istringstream in(output);
        for (std::string line; std::getline(in, line);)
            if (const std::size_t colon = line.find(": now "); colon != std::string::npos)
                values[line.substr(0, colon)] = line.substr(colon + 2);
        return values;
    }

    test::TestRegistry reg;
    std::string output;
};

std::string pathOf(int step)
{
    const PlanEntry& e = planEntry(step);
    return fullValuePath({e.root, e.keyPath, e.valueName});
}

TEST_F(CheckCliTest, BeforeApplyEveryValueDiffersAfterItNoneAndTypesCount)
{
    EXPECT_EQ(check(57), kExitNotAsPlanned);
    EXPECT_EQ(output.rfind("The registry does not hold the plan for 57 Kbps: 18 of 18 values differ.\n", 0), 0u);
    EXPECT_EQ(listed().size(), 18u);
    EXPECT_EQ(listed().at(pathOf(8)), "now absent, wanted \"dword:00000010\"");
    EXPECT_EQ(listed().at(pathOf(19)), "now absent, wanted dword:000005dc");

    apply(57);
    EXPECT_EQ(check(57), kExitOk) << output;
    EXPECT_EQ(output, "The registry holds the plan for 57 Kbps (18 values).\n");

    // The same number as a REG_DWORD is not what apply writes; the same text
    // under another spelling of the name is.
    const PlanEntry& ttl = planEntry(2);
    ASSERT_EQ(writeValue(reg.backend(), {ttl.root, ttl.keyPath, "DEFAULTttl"}, kRegDword, {64, 0, 0, 0}), kStatusOk);
    EXPECT_EQ(check(57), kExitNotAsPlanned);
    EXPECT_EQ(listed(), (std::map<std::string, std::string>{{pathOf(2), "now dword:00000040, wanted \"64\""}}));
    ASSERT_EQ(writeValue(reg.backend(), {ttl.root, ttl.keyPath, "DEFAULTttl"}, kRegSz, {'6', '4', 0}), kStatusOk);
    EXPECT_EQ(check(57), kExitOk) << output;
}

TEST_F(CheckCliTest, AtAnotherSpeedOnlyTheValuesThatDifferAreListed)
{
    struct Case {
        std::uint32_t applied, checked;
        std::set<int> steps;  // the steps whose values differ
    };
    const Case cases[] = {
        {57, 145, {1, 12, 13}},
        {57, 56, {1, 11, 12, 13}},  // 56 writes no MTU, so the MTU left by 57 does not count
        {56, 57, {1, 11, 12, 13, 19}},
        {57, 20001, {}},  // the window sizes are not written above 20000, so not compared
        {20001, 57, {1, 12, 13}},
    };
    for (const Case& c : cases) {
        for (const ValuePath& v : planValues())
            ASSERT_EQ(deleteValue(reg.backend(), v), kStatusOk);
        apply(c.applied);
        EXPECT_EQ(check(c.checked), c.steps.empty() ? kExitOk : kExitNotAsPlanned)
            << c.applied << " then " << c.checked << ":\n" << output;
        std::set<std::string> expected, found;
        for (int step : c.steps)
            expected.insert(pathOf(step));
        for (const auto& [path, states] : listed())
            found.insert(path);
        EXPECT_EQ(found, expected) << c.applied << " then " << c.checked;
    }
    apply(57);
    check(56);
    EXPECT_EQ(listed().at(pathOf(11)), "now \"1500\", wanted \"576\"");
}

TEST_F(CheckCliTest, AfterRestoreTheDeletedValuesAreListedAsAbsent)
{
    apply(57);
    ASSERT_EQ(run({"restore", "--yes"}), kExitOk);
    // Whether the restore used a backup or deleted its default list, these are gone.
    EXPECT_EQ(check(57), kExitNotAsPlanned);
    const auto values = listed();
    for (const ValuePath& v : defaultRestoreValues()) {
        const auto found = values.find(fullValuePath(v));
        ASSERT_NE(found, values.end()) << fullValuePath(v);
        EXPECT_EQ(found->second.rfind("now absent, wanted ", 0), 0u) << found->second;
    }
}

// holds is true exactly when no value differs, and differing counts the
// values listed: with none, exactly one and two values changed after apply.
TEST_F(CheckCliTest, JsonHoldsOnlyWhenNothingDiffersAndCountsEachDifference)
{
    apply(1024);
    const std::vector<RegEntry> writes = planWrites(1024);
    for (std::size_t changed = 0; changed <= 2; ++changed) {
        SCOPED_TRACE(std::to_string(changed) + " values changed");
        if (changed > 0) {
            ASSERT_EQ(writeValue(reg.backend(), writes[changed - 1].path, kRegSz, {'x', 0}), kStatusOk);
        }
        ASSERT_EQ(run({"check", "--speed", "1024", "--format", "json"}), changed ? kExitNotAsPlanned : kExitOk);
        const test::JsonValue doc = test::JsonReader::parse(output);
        EXPECT_EQ(doc["holds"].boolean(), changed == 0);
        EXPECT_EQ(doc["differing"].number(), static_cast<double>(changed));
        ASSERT_EQ(doc["differences"].array().size(), changed);
        for (std::size_t i = 0; i < changed; ++i)
            EXPECT_EQ(doc["differences"][i]["path"].string(), fullValuePath(writes[i].path));
    }
}

}  // namespace
}  // namespace ferro
#endif
