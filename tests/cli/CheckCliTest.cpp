// `ferrowinder-cli check`: exit 0 when the registry holds what apply would
// write at that speed, 1 listing what differs, 2 on bad usage.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>

#include "cli/Commands.h"
#include "registry/RegFile.h"
#include "registry/TestRegistry.h"
#include "tuning/TuningPlan.h"

namespace ferro {
namespace {

struct Result {
    int code;
    std::string out;
    std::string err;
    // The listed values: "HKEY_...\key\Name" -> "now X, wanted Y".
    std::map<std::string, std::string> listed() const
    {
        std::map<std::string, std::string> values;
        std::istringstream in(out);
        std::string line;
        std::getline(in, line);  // the summary
        while (std::getline(in, line)) {
            const std::size_t colon = line.find(": now ");
            if (colon != std::string::npos)
                values[line.substr(0, colon)] = line.substr(colon + 2);
        }
        return values;
    }
};

class CheckCliTest : public ::testing::Test {
protected:
    Result run(std::vector<std::string> args)
    {
        args.push_back("--registry");
        args.push_back(reg.storePath());
        std::istringstream in;
        std::ostringstream out, err;
        const int code = runCli(args, {in, out, err, false});
        return {code, out.str(), err.str()};
    }
    Result check(std::uint32_t speed) { return run({"check", "--speed", std::to_string(speed)}); }
    void apply(std::uint32_t speed) { ASSERT_EQ(run({"apply", "--speed", std::to_string(speed)}).code, kExitOk); }

    test::TestRegistry reg;
};

std::string full(int step)
{
    const PlanEntry& e = planEntry(step);
    return std::string(rootName(e.root)) + "\\" + e.keyPath + "\\" + e.valueName;
}

TEST_F(CheckCliTest, BeforeApplyEveryValueIsListedAfterItNone)
{
    const Result before = check(57);
    EXPECT_EQ(before.code, 1);
    EXPECT_EQ(before.out.rfind("The registry does not hold the plan for 57 Kbps: 18 of 18 values differ.\n", 0), 0u)
        << before.out;
    const auto listed = before.listed();
    EXPECT_EQ(listed.size(), 18u);
    EXPECT_EQ(listed.at(full(1)), "now absent, wanted \"17520\"");
    EXPECT_EQ(listed.at(full(8)), "now absent, wanted \"dword:00000010\"");
    EXPECT_EQ(listed.at(full(19)), "now absent, wanted dword:000005dc");

    apply(57);
    const Result after = check(57);
    EXPECT_EQ(after.code, kExitOk) << after.out;
    EXPECT_EQ(after.out, "The registry holds the plan for 57 Kbps (18 values).\n");
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
        const Result r = check(c.checked);
        EXPECT_EQ(r.code, c.steps.empty() ? 0 : 1) << c.applied << " then " << c.checked << ":\n" << r.out;
        std::set<std::string> expected;
        for (int step : c.steps)
            expected.insert(full(step));
        std::set<std::string> listed;
        for (const auto& [path, states] : r.listed())
            listed.insert(path);
        EXPECT_EQ(listed, expected) << c.applied << " then " << c.checked;
    }
    apply(57);
    EXPECT_EQ(check(56).listed().at(full(11)), "now \"1500\", wanted \"576\"");
}

TEST_F(CheckCliTest, AfterRestoreTheDeletedValuesAreListedAsAbsent)
{
    apply(57);
    ASSERT_EQ(run({"restore", "--yes"}).code, kExitOk);
    // Whether the restore used a backup or deleted its default list, these are gone.
    const Result r = check(57);
    EXPECT_EQ(r.code, 1);
    const auto listed = r.listed();
    for (const ValuePath& v : defaultRestoreValues()) {
        const auto found = listed.find(fullValuePath(v));
        ASSERT_NE(found, listed.end()) << fullValuePath(v);
        EXPECT_EQ(found->second.rfind("now absent, wanted ", 0), 0u) << found->second;
    }
}

TEST_F(CheckCliTest, TypeAndBytesMustMatchNameCaseNeedNot)
{
    apply(57);
    const PlanEntry& ttl = planEntry(2);
    const ValuePath path{ttl.root, ttl.keyPath, ttl.valueName};
    struct Case {
        std::uint32_t type;
        Bytes data;
        const char* listedAs;  // nullptr: the same as the plan's
    };
    const Case cases[] = {
        {kRegDword, {64, 0, 0, 0}, "now dword:00000040, wanted \"64\""},
        {kRegSz, {'6', '4'}, "now hex(1):36,34, wanted \"64\""},  // no final NUL
        {kRegSz, {'6', '4', 0}, nullptr},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(deleteValue(reg.backend(), path), kStatusOk);
        ASSERT_EQ(writeValue(reg.backend(), {ttl.root, ttl.keyPath, "DEFAULTttl"}, c.type, c.data), kStatusOk);
        const Result r = check(57);
        if (!c.listedAs) {
            EXPECT_EQ(r.code, kExitOk) << r.out;
            continue;
        }
        EXPECT_EQ(r.code, 1);
        const auto listed = r.listed();
        ASSERT_EQ(listed.size(), 1u) << r.out;
        EXPECT_EQ(listed.begin()->second, c.listedAs);
    }
}

TEST_F(CheckCliTest, BadUsageIsExit2)
{
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"check"}, {"check", "--speed", "fast"}, {"check", "--speed", "57", "--format", "tsv"},
             {"check", "--speed", "57", "extra"}, {"check", "--speed", "57", "--dry-run"}}) {
        const Result r = run(args);
        EXPECT_EQ(r.code, kExitUsage) << args.back();
        EXPECT_NE(r.err.find("Usage: ferrowinder-cli check --speed KBPS"), std::string::npos) << r.err;
    }
    const Result help = run({"check", "--help"});
    EXPECT_EQ(help.code, kExitOk);
    EXPECT_NE(help.out.find("Exits 0 when the registry already holds"), std::string::npos);
}

}  // namespace
}  // namespace ferro
#endif
