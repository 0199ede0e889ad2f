// `ferrowinder-cli apply` with its backup, and `ferrowinder-cli restore`: the
// same restore as the window's, asked and answered on the terminal.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/CliRun.h"
#include "registry/TestRegistry.h"
#include "tuning/Backup.h"
#include "tuning/TuningPlan.h"

namespace ferro {
namespace {

using test::StringSink;
using test::StringSource;

namespace fs = std::filesystem;

const char* const kQuestion = "Are you sure you want to restore your registry to previous settings?";
const ValuePath kUserSetting{RootKey::CurrentUser,
                             "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings",
                             "MaxConnectionsPerServer"};

using Result = test::CliResult;

class RestoreCliTest : public ::testing::Test {
protected:
    Result restore(std::vector<std::string> words, const std::string& typed = "", bool terminal = false)
    {
        words.insert(words.begin(), "restore");
        return run(words, typed, terminal);
    }

    Result run(std::vector<std::string> args, const std::string& typed = "", bool terminal = false)
    {
        return test::runTool(std::move(args), reg.storePath(), typed, terminal);
    }

    // The user's own setting, then a boost with its backup.
    void boostWithBackup()
    {
        ASSERT_EQ(writeValue(reg.backend(), kUserSetting, kRegDword, {4, 0, 0, 0}), kStatusOk);
        const Result r = run({"apply", "--speed", "56"});
        ASSERT_EQ(r.code, kExitOk) << r.err;
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
    EXPECT_TRUE(backupKept());
}

TEST_F(RestoreCliTest, ApplyTakesTheBackupThatRestorePutsBack)
{
    const std::string backup = backupRegPath(reg.folder());
    const struct {
        std::vector<std::string> apply;  // after "apply"
        const char* said;                // by apply about the backup; "" for nothing
        bool userSettingBack;            // after restore, and every other value as before
    } cases[] = {
        {{"--speed", "1024"}, "Backed up the current values to ", true},  // the MTU too
        {{"--speed", "56", "--no-backup"}, "", false},  // the restore without a backup deletes it
        {{"--speed", "56", "--dry-run"}, "", false},    // took none either
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.apply.back());
        fs::remove_all(backupFolder(reg.folder()));
        ASSERT_EQ(writeValue(reg.backend(), kUserSetting, kRegDword, {4, 0, 0, 0}), kStatusOk);
        const std::string before = run({"show"}).out;
        std::vector<std::string> args{"apply"};
        args.insert(args.end(), c.apply.begin(), c.apply.end());
        const Result applied = run(args);
        ASSERT_EQ(applied.code, kExitOk) << applied.err;
        EXPECT_EQ(applied.out.find(std::string(c.said) + backup + "\n") == 0, *c.said != 0) << applied.out;
        EXPECT_EQ(backupKept(), *c.said != 0);
        // Twice: the second restore finds nothing left to undo.
        for (int round = 0; round < 2; ++round) {
            const Result restored = restore({"--yes"});
            EXPECT_EQ(restored.code, kExitOk) << restored.err;
            ValueState user;
            readValue(reg.backend(), kUserSetting, user);
            EXPECT_EQ(user.present && user.data == Bytes({4, 0, 0, 0}), c.userSettingBack) << round;
            if (c.userSettingBack) {
                EXPECT_EQ(run({"show"}).out, before) << round;
            }
        }
    }
    // A second apply keeps the backup from before the first.
    ASSERT_EQ(writeValue(reg.backend(), kUserSetting, kRegDword, {4, 0, 0, 0}), kStatusOk);
    ASSERT_EQ(run({"apply", "--speed", "56"}).code, kExitOk);
    const Result again = run({"apply", "--speed", "1024"});
    EXPECT_EQ(again.out.rfind("Kept the backup from before an earlier boost: " + backup + "\n", 0), 0u) << again.out;
    EXPECT_EQ(restore({"--yes"}).code, kExitOk);
    EXPECT_FALSE(boosted());
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
    EXPECT_EQ(r.code, kExitFailed);
    EXPECT_EQ(r.out.find("Your registry has been restored."), std::string::npos);
    // The tool's own lines: each with its prefix, LF line ends (the windows'
    // box has CR LF and no prefix).
    EXPECT_NE(r.err.find("ferrowinder-cli: your registry could not be fully restored.\n"), std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("ferrowinder-cli: " + backupRegPath(reg.folder()) + " is not a regular file"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.err.find('\r'), std::string::npos) << r.err;
    for (std::size_t line = 0; line < r.err.size(); line = r.err.find('\n', line) + 1)
        EXPECT_EQ(r.err.compare(line, 17, "ferrowinder-cli: "), 0) << r.err.substr(line);
    EXPECT_TRUE(backupKept());
    EXPECT_TRUE(boosted());
}

}  // namespace
}  // namespace ferro
#endif
