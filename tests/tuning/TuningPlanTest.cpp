#include <gtest/gtest.h>

#include <map>

#include "registry/TestRegistry.h"
#include "registry/modRegistry.h"
#include "tuning/TuningPlan.h"
#include "wizard/RegistryMessages.h"

namespace ferro {
namespace {

using test::TestRegistry;

// Applies the whole plan at a speed and returns what the registry then holds
// for one value, as text (REG_SZ without its NUL) or as a decimal number.
class PlanRun {
public:
    explicit PlanRun(std::uint32_t speed)
    {
        // The plan's keys are fixed, so start from a registry without its values.
        for (const ValuePath& v : planValues())
            deleteValue(reg.backend(), v);
        const modRegistry::Registry layer{reg.backend(), [this](const Failure& f) { messages.push_back(registryFailureText(f)); }};
        for (const PlanEntry& e : tuningPlan())
            applyPlanEntry(layer, e, speed);
    }

    std::optional<std::string> datum(int step)
    {
        const PlanEntry& e = planEntry(step);
        ValueState state;
        if (readValue(reg.backend(), {e.root, e.keyPath, e.valueName}, state) != kStatusOk)
            return std::nullopt;
        if (state.type == kRegDword) {
            std::uint32_t n = 0;
            for (int i = 3; i >= 0; --i)
                n = (n << 8) | state.data.at(static_cast<std::size_t>(i));
            return "dword " + std::to_string(n);
        }
        EXPECT_EQ(state.type, kRegSz);
        EXPECT_EQ(state.data.back(), 0);
        return std::string(state.data.begin(), state.data.end() - 1);
    }

    TestRegistry reg;
    std::vector<std::string> messages;
};

TEST(TuningPlan, WindowSizeTableBoundariesReachAllThreeValues)
{
    // Each bound and the level just above it, with the datum written there.
    const std::map<std::uint32_t, std::string> expected{
        {0, "16616"},       {56, "16616"},     {57, "17520"},     {144, "17520"},
        {145, "21900"},     {192, "21900"},    {193, "29200"},    {256, "29200"},
        {257, "43800"},     {384, "43800"},    {385, "58400"},    {512, "58400"},
        {513, "128480"},    {1024, "128480"},  {1025, "256960"},  {3500, "256960"},
        {3501, "513920"},   {7000, "513920"},  {7001, "1027840"}, {13000, "1027840"},
        {13001, "2055680"}, {20000, "2055680"}};
    for (const auto& [speed, datum] : expected) {
        PlanRun run(speed);
        for (int step : {1, 12, 13})
            EXPECT_EQ(run.datum(step), datum) << "speed " << speed << ", step " << step;
        EXPECT_TRUE(run.messages.empty());
    }
}

TEST(TuningPlan, AboveTheTableTheWindowSizeStepsWriteNothing)
{
    PlanRun run(20001);
    for (int step : {1, 12, 13})
        EXPECT_EQ(run.datum(step), std::nullopt) << "step " << step;
    EXPECT_EQ(run.datum(2), "64");  // the rest of the plan still runs
    EXPECT_EQ(run.datum(19), "dword 1500");
}

TEST(TuningPlan, DialUpRuleAt56And57)
{
    PlanRun dialUp(56);
    EXPECT_EQ(dialUp.datum(11), "576");
    EXPECT_EQ(dialUp.datum(19), std::nullopt);

    PlanRun faster(57);
    EXPECT_EQ(faster.datum(11), "1500");
    EXPECT_EQ(faster.datum(19), "dword 1500");
    EXPECT_EQ(planEntry(19).caption, std::string("Optimizing NetworkMTU"));
}

TEST(TuningPlan, FixedDataAndInternetSettingsUnderCurrentUser)
{
    PlanRun run(57);
    const std::map<int, std::string> fixed{{2, "64"},  {3, "1"},  {4, "0"},  {5, "3"},
                                           {6, "1"},   {7, "2"},  {14, "5"}, {15, "6"},
                                           {16, "7"},  {17, "8"}, {18, "16384"}};
    for (const auto& [step, datum] : fixed)
        EXPECT_EQ(run.datum(step), datum) << "step " << step;
    // The text "dword:00000010" is stored as text, and under the user's own key.
    for (int step : {8, 10}) {
        EXPECT_EQ(planEntry(step).root, RootKey::CurrentUser);
        EXPECT_EQ(run.datum(step), "dword:00000010");
        ValueState underMachine;
        EXPECT_EQ(readValue(run.reg.backend(), {RootKey::LocalMachine, planEntry(step).keyPath, planEntry(step).valueName},
                            underMachine),
                  kStatusNotFound);
    }
}

TEST(TuningPlan, CaptionsAndSegments)
{
    for (const PlanEntry& e : tuningPlan()) {
        if (e.step != 19) {
            EXPECT_EQ(std::string(e.caption), std::string("Optimizing ") + e.valueName);
        }
        EXPECT_EQ(progressSegment(e.step), e.step == 19 ? 18 : e.step);
    }
}

TEST(TuningPlan, DistinctValuesAndTheDefaultRestoreList)
{
    EXPECT_EQ(planValues().size(), 18u);  // steps 8 and 9 write the same value
    const std::vector<ValuePath> restore = defaultRestoreValues();
    std::vector<std::string> names;
    for (const ValuePath& v : restore)
        names.push_back(std::string(v.root == RootKey::CurrentUser ? "HKCU " : "HKLM ") + v.valueName);
    EXPECT_EQ(names, (std::vector<std::string>{
                         "HKLM DefaultRcvWindow", "HKLM DefaultTTL", "HKLM PMTUDiscovery",
                         "HKLM PMTUBlackHoleDetect", "HKLM Tcp1323Opts", "HKLM SackOpts", "HKLM MaxDupAcks",
                         "HKCU MaxConnectionsPer1_0Server", "HKCU MaxConnectionsPerServer", "HKLM internetMTU"}));
}

TEST(TuningPlan, RunningTwiceWritesTheSameAgain)
{
    PlanRun run(300);
    const modRegistry::Registry layer{run.reg.backend(), [&](const Failure& f) { run.messages.push_back(registryFailureText(f)); }};
    for (const PlanEntry& e : tuningPlan())
        applyPlanEntry(layer, e, 300);
    EXPECT_EQ(run.datum(1), "43800");
    EXPECT_TRUE(run.messages.empty());
}

TEST(SpeedTexts, CaptionAndTheFourClasses)
{
    EXPECT_EQ(speedCaption(56), "Select Connection Speed (56 Kbps)");
    EXPECT_EQ(speedCaption(20000), "Select Connection Speed (20000 Kbps)");
    const std::map<std::uint32_t, std::string> expected{
        {0, "0 Kilobytes per second Dial-Up"},
        {56, "56 Kilobytes per second Dial-Up"},
        {57, "57 Kilobytes per second Dial-Up Tandem/DSL/Satellite"},
        {128, "128 Kilobytes per second Dial-Up Tandem/DSL/Satellite"},
        {129, "129 Kilobytes per second DSL/Satellite/Cable"},
        {9999, "9999 Kilobytes per second DSL/Satellite/Cable"},
        {10000, "10000 Kilobytes per second T1/T3"},
        {20000, "20000 Kilobytes per second T1/T3"}};
    for (const auto& [speed, text] : expected)
        EXPECT_EQ(speedDescription(speed), text);
}

}  // namespace
}  // namespace ferro
