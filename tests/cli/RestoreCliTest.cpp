// `ferrowinder-cli restore`: the same restore as the window's, asked and
// answered on the terminal.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/Commands.h"
#include "registry/TestRegistry.h"
#include "tuning/Backup.h"
#include "tuning/TuningPlan.h"

namespace ferro {
namespace {

namespace fs = std::filesystem;

const char* const kQuestion = "Are you sure you want to restore your registry to previous settings?";
const ValuePath kUserSetting{RootKey::CurrentUser,
                             "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings",
                             "MaxConnectionsPerServer"};

struct Result {
    int code;
    std::string out;
    std::string err;
};

class RestoreCliTest : public ::testing::Test {
protected:
    Result restore(std::vector<std::string> words, const std::string& typed = "", bool terminal = false)
    {
        std::vector<std::string> args{"restore", "--registry", reg.storePath()};
        args.insert(args.end(), words.begin(), words.end());
        std::istringstream in(typed);
        std::ostringstream out, err;
        const int code = runCli(args, {in, out, err, terminal});
        return {code, out.str(), err.str()};
    }

    // The user's own setting, the wizard's backup, then a boost.
    void boostWithBackup()
    {
        ASSERT_EQ(writeValue(reg.backend(), kUserSetting, kRegDword, {4, 0, 0, 0}), kStatusOk);
        ASSERT_TRUE(writeBackup(reg.backend(), reg.folder()).ok);
        const modRegistry::Registry layer{reg.backend(), [](const std::string& m) { FAIL() << m; }};
        for (const PlanEntry& e : tuningPlan())
            applyPlanEntry(layer, e, kDefaultSpeed);
    }

    bool boosted()
    {
        ValueState s;
        readValue(reg.backend(), kUserSetting, s);
        return s.data != Bytes{4, 0, 0, 0};
    }

    bool backupKept() const { return fs::exists(backupRegPath(reg.folder())); }

    test::TestRegistry reg;
};

TEST_F(RestoreCliTest, YesRestoresWithoutAsking)
{
    boostWithBackup();
    const Result r = restore({"--yes"});
    EXPECT_EQ(r.code, kExitOk) << r.err;
    EXPECT_EQ(r.out.find(kQuestion), std::string::npos);
    EXPECT_EQ(r.out.rfind("Your registry has been restored.", 0), 0u) << r.out;
    EXPECT_FALSE(boosted());
    EXPECT_FALSE(backupKept());
}

TEST_F(RestoreCliTest, WithoutATerminalItRefusesToGuessTheAnswer)
{
    boostWithBackup();
    const Result r = restore({});
    EXPECT_EQ(r.code, kExitUsage);
    EXPECT_NE(r.err.find("--yes"), std::string::npos) << r.err;
    EXPECT_TRUE(boosted()) << "nothing changed";
    EXPECT_TRUE(backupKept());
}

TEST_F(RestoreCliTest, OnATerminalItAsksAndOnlyYesRestores)
{
    boostWithBackup();
    for (const char* typed : {"n\n", "\n", "maybe\n", ""}) {
        const Result r = restore({}, typed, true);
        EXPECT_EQ(r.code, kExitOk) << typed;
        EXPECT_EQ(r.out.rfind(kQuestion, 0), 0u) << r.out;
        EXPECT_NE(r.out.find("Nothing was changed."), std::string::npos) << typed;
        EXPECT_TRUE(boosted()) << typed;
    }
    const Result yes = restore({}, "y\n", true);
    EXPECT_EQ(yes.code, kExitOk) << yes.err;
    EXPECT_NE(yes.out.find("Your registry has been restored."), std::string::npos);
    EXPECT_FALSE(boosted());
}

TEST_F(RestoreCliTest, WithoutABackupTwiceInARowSucceeds)
{
    for (int round = 0; round < 2; ++round) {
        const Result r = restore({"--yes"});
        EXPECT_EQ(r.code, kExitOk) << r.err;
        EXPECT_NE(r.out.find("There was no backup"), std::string::npos) << r.out;
    }
}

TEST_F(RestoreCliTest, AFailedRestoreIsReportedAndTheBackupKept)
{
    boostWithBackup();
    fs::remove(backupRegPath(reg.folder()));
    fs::create_directory(backupRegPath(reg.folder()));  // a backup that cannot be read
    const Result r = restore({"--yes"});
    EXPECT_EQ(r.code, kExitWriteFailed);
    EXPECT_EQ(r.out.find("Your registry has been restored."), std::string::npos);
    EXPECT_NE(r.err.find("Your registry could not be fully restored."), std::string::npos) << r.err;
    EXPECT_TRUE(backupKept());
    EXPECT_TRUE(boosted());
}

}  // namespace
}  // namespace ferro
#endif
