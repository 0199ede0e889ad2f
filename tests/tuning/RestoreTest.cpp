// The backup and the restore through the library: which backup is kept, what
// a restore (and a second one) leaves in the store, what a planted or
// tampered backup gets, and what it reports when a value cannot be restored.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "app/RestoreMessages.h"
#include "registry/SqliteStore.h"
#include "registry/TestRegistry.h"
#include "tuning/Backup.h"
#include "tuning/TuningPlan.h"
#include "wizard/RegistryMessages.h"

namespace ferro {
namespace {

namespace fs = std::filesystem;

const ValuePath kUserSetting{RootKey::CurrentUser,
                             "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings",
                             "MaxConnectionsPerServer"};
const Bytes kUserData{4, 0, 0, 0};
const ValuePath kTtl{RootKey::LocalMachine, "System\\CurrentControlSet\\Services\\VxD\\MSTCP", "DefaultTTL"};

// As the registry editor saves by default.
std::string utf16(const std::string& text)
{
    std::string out = "\xFF\xFE";
    for (char ch : text)
        out += std::string{ch, '\0'};
    return out;
}

std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class RestoreTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(writeValue(store(), kUserSetting, kRegDword, kUserData), kStatusOk); }

    RegistryBackend& store() { return reg.backend(); }
    const std::string& folder() const { return reg.folder(); }

    // As the wizard's run and `apply` do: the backup is marked before the writes.
    void boost(std::uint32_t speed = kDefaultSpeed)
    {
        ASSERT_TRUE(BoostMark(folder()).result().ok);
        const modRegistry::Registry layer{store(), [](const Failure& f) { FAIL() << registryFailureText(f); }};
        for (const PlanEntry& e : tuningPlan())
            applyPlanEntry(layer, e, speed);
    }

    void boostWithBackup()
    {
        ASSERT_TRUE(writeBackup(store(), folder()).ok);
        boost();
    }

    // Every value the plan writes, as .reg text: equal texts, equal values.
    std::string planState()
    {
        std::vector<Failure> unreadable;
        const std::string text = writeRegFile(captureState(store(), planValues(), unreadable));
        EXPECT_TRUE(unreadable.empty());
        return text;
    }

    ValueState state(const ValuePath& path)
    {
        ValueState s;
        readValue(store(), path, s);
        return s;
    }

    test::TestRegistry reg;
};

TEST_F(RestoreTest, EveryRoadEndsWithTheSettingsFromBeforeItsFirstBoost)
{
    enum Act { Backup, Boost, BoostFaster, Restore, HandChange, Expect };
    struct Road {
        const char* name;
        std::vector<Act> acts;  // Expect: the store must now be as at the first Expect
    };
    const Road roads[] = {
        {"boost, restore, restore again", {Expect, Backup, Boost, Restore, Expect, Restore, Expect}},
        {"YES without a boost, a hand change, a boost, a restore",
         {Backup, HandChange, Expect, Backup, Boost, Restore, Expect}},
        {"boost, boost at another speed with YES again, restore",
         {Expect, Backup, Boost, Backup, BoostFaster, Restore, Expect}},
        {"a restore, a hand change, a restore again", {Backup, Boost, Restore, HandChange, Expect, Restore, Expect}},
        {"a restore, then a boost without a backup, restored", {Expect, Backup, Boost, Restore, Boost, Restore, Expect}},
    };
    for (const Road& road : roads) {
        SCOPED_TRACE(road.name);
        fs::remove_all(backupFolder(folder()));
        for (const ValuePath& v : planValues())
            ASSERT_EQ(deleteValue(store(), v), kStatusOk);
        ASSERT_EQ(writeValue(store(), kUserSetting, kRegDword, kUserData), kStatusOk);
        std::string expected;
        int handChanges = 0;
        for (Act act : road.acts) {
            switch (act) {
            case Backup: ASSERT_TRUE(writeBackup(store(), folder()).ok); break;
            case Boost: boost(); break;
            case BoostFaster: boost(1024); break;
            case Restore: {
                const RestoreResult r = restoreRegistry(store(), folder());
                ASSERT_TRUE(r.ok()) << restoreFailureText(r);
                EXPECT_TRUE(r.usedBackup);
                break;
            }
            case HandChange:
                ASSERT_EQ(writeValue(store(), kTtl, kRegSz, {'9', std::uint8_t('0' + handChanges++), 0}), kStatusOk);
                break;
            case Expect:
                if (expected.empty())
                    expected = planState();
                EXPECT_EQ(planState(), expected);
                break;
            }
        }
        EXPECT_EQ(state(kUserSetting).data, kUserData);
    }
}

TEST_F(RestoreTest, WithoutABackupDeletesTheDefaultListAtTheRootsTheBoostWrites)
{
    boost();
    for (int round = 0; round < 2; ++round) {
        const RestoreResult result = restoreRegistry(store(), folder());
        EXPECT_TRUE(result.ok()) << restoreFailureText(result);
        EXPECT_FALSE(result.usedBackup);
    }
    for (const PlanEntry& e : tuningPlan())
        EXPECT_EQ(state({e.root, e.keyPath, e.valueName}).present, !e.restoredByDefault && planData(e, kDefaultSpeed))
            << "step " << e.step << " " << e.valueName;
}

TEST_F(RestoreTest, ATamperedBackupIsRefusedAsAWholeNamingItsFirstForeignLine)
{
    const std::string mstcp = "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\VxD\\MSTCP]\r\n";
    const std::string head = "Windows Registry Editor Version 5.00\r\n\r\n" + mstcp + "\"DefaultTTL\"=\"1\"\r\n\r\n";
    const struct {
        const char* name;
        std::string text;
        std::string named;  // in the refusal
    } cases[] = {
        {"a Run key", head + "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n\"x\"=\"evil.exe\"\r\n",
         "line 6: [HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]"},
        {"a debugger, in a UTF-16 file",
         utf16(head + "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution "
                      "Options\\a.exe]\r\n\"Debugger\"=\"evil.exe\"\r\n"),
         "line 6: [HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options\\a.exe]"},
        {"a value outside the plan at a plan key", head + mstcp + "\"DefaultTTL\"=-\r\n\"Debugger\"=hex:01,\\\r\n  02\r\n",
         "line 8: \"Debugger\"=hex:01,02"},
        {"a plan value at the wrong root",
         head + "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings]\r\n",
         "line 6: [HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string& text = c.text;
        fs::remove_all(backupFolder(folder()));
        boostWithBackup();
        { std::ofstream(backupRegPath(folder()), std::ios::binary | std::ios::trunc) << text; }
        const std::string before = planState();

        const RestoreResult result = restoreRegistry(store(), folder());
        EXPECT_FALSE(result.ok());
        EXPECT_NE(result.error.find(c.named), std::string::npos) << result.error;
        EXPECT_NE(restoreFailureText(result).find("nothing was changed"), std::string::npos);
        EXPECT_EQ(planState(), before) << "not even the plan values before the foreign line";
        // Nor is it passed off as a good backup, or replaced by the boosted values.
        EXPECT_NE(writeBackup(store(), folder()).failure.find(c.named), std::string::npos);
        EXPECT_EQ(slurp(backupRegPath(folder())), text);
    }
}

TEST_F(RestoreTest, ARefusedRestoreNamesEachValueAndKeepsTheBackup)
{
    boostWithBackup();
    SqliteStore readOnly(reg.storePath(), SqliteStore::Mode::ReadOnly);
    const RestoreResult result = restoreRegistry(readOnly, folder());
    EXPECT_FALSE(result.ok());

    // Every value the boost changed is named; one it never wrote was already
    // as recorded (absent), so it counts as restored.
    const std::string text = restoreFailureText(result);
    for (const PlanEntry& e : tuningPlan()) {
        const bool named = text.find(fullValuePath({e.root, e.keyPath, e.valueName}) + ": access denied (5)") !=
                           std::string::npos;
        EXPECT_EQ(named, planData(e, kDefaultSpeed).has_value()) << "step " << e.step << " " << e.valueName;
    }
    EXPECT_NE(text.find("The backup was kept"), std::string::npos);

    // Once the store can be written, the kept backup still brings everything back.
    EXPECT_TRUE(restoreRegistry(store(), folder()).ok());
    EXPECT_EQ(state(kUserSetting).data, kUserData);
}

TEST_F(RestoreTest, ADamagedOrOversizedBackupChangesNothingAndIsKept)
{
    const struct {
        const char* name;
        std::uintmax_t size;  // 0: the text below
        const char* said;
    } cases[] = {
        {"not a registry file", 0, "damaged"},
        {"one byte too many", kMaxBackupBytes + 1, "larger than a backup can be"},
        {"a gigabyte", std::uintmax_t{1} << 30, "larger than a backup can be"},
    };
    boost();
    fs::create_directories(backupFolder(folder()));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        { std::ofstream(backupRegPath(folder())) << "not a registry file\n"; }
        if (c.size)
            fs::resize_file(backupRegPath(folder()), c.size);  // sparse: no disk is used
        const RestoreResult result = restoreRegistry(store(), folder());
        EXPECT_FALSE(result.ok());
        EXPECT_NE(restoreFailureText(result).find(c.said), std::string::npos) << restoreFailureText(result);
        EXPECT_TRUE(fs::exists(backupRegPath(folder())));
        for (const ValuePath& v : defaultRestoreValues())
            EXPECT_TRUE(state(v).present) << v.valueName;
    }
}

// A link in place of each backup file, or of the folder: nothing is written
// through it, it is never taken for the backup, and the failure names it.
TEST_F(RestoreTest, ALinkInPlaceOfAnyBackupFileIsRefusedAndNeverFollowed)
{
    const fs::path outside = fs::path(folder()) / "outside";
    const fs::path victim = outside / "victim.reg";
    const fs::path backup = backupFolder(folder());
    const struct {
        const char* link;  // below the program folder
        bool backupFails;
        bool restoreFails;
        bool hard = false;  // a hard link rather than a symbolic one
    } cases[] = {
        {"Backup", true, true},  // pointing at a folder with a well-formed Backup.reg
        {"Backup/Backup.nbf", true, false},
        {"Backup/Backup.reg", true, true},
        {"Backup/Backup.reg.partial", true, false},
        {"Backup/Backup.idle", true, false},
        {"Backup/Backup.nbf", true, false, true},
        {"Backup/Backup.reg", true, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.link) + (c.hard ? " (hard)" : ""));
        fs::remove_all(backup);
        fs::remove_all(outside);
        fs::create_directories(outside);
        fs::create_directories(backup);
        // A well-formed backup of the plan's values, so that only the link can make it fail.
        const std::string planted = "Windows Registry Editor Version 5.00\r\n\r\n"
                                    "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\VxD\\MSTCP]\r\n"
                                    "\"DefaultTTL\"=\"7\"\r\n";
        { std::ofstream(victim, std::ios::binary) << planted; }
        fs::copy_file(victim, outside / "Backup.reg");
        const fs::path link = fs::path(folder()) / c.link;
        if (link == backup) {
            fs::remove(backup);
            fs::create_directory_symlink(outside, link);
        } else if (c.hard) {
            fs::create_hard_link(victim, link);
        } else {
            fs::create_symlink(victim, link);
        }
        const std::string said = link.string() + (c.hard ? " is a hard link" : " is a symbolic link");

        const BackupResult backed = writeBackup(store(), folder());
        EXPECT_EQ(!backed.ok, c.backupFails) << backed.failure;
        EXPECT_EQ(backed.failure.find(said) != std::string::npos, c.backupFails)
            << backed.failure;
        EXPECT_EQ(slurp(victim.string()), planted) << "written through the link";
        EXPECT_EQ(std::distance(fs::directory_iterator(outside), fs::directory_iterator()), 2) << "written into it";
        EXPECT_TRUE(c.hard || fs::is_symlink(link));

        const std::string before = planState();
        const RestoreResult restored = restoreRegistry(store(), folder());
        if (c.restoreFails) {
            EXPECT_FALSE(restored.ok());
            EXPECT_NE(restored.error.find(said), std::string::npos) << restored.error;
            EXPECT_EQ(planState(), before);
        }
        EXPECT_FALSE(state(kTtl).present) << "the planted file was restored";
    }
}

TEST_F(RestoreTest, AFailureSaysWhatTheFailingCallReported)
{
    const fs::path backup = backupFolder(folder());
    { std::ofstream(backup) << "a file where the folder belongs"; }
    const BackupResult backed = writeBackup(store(), folder());
    EXPECT_EQ(backed.failure, "cannot open the folder " + backup.string() + ": Not a directory");
    const RestoreResult restored = restoreRegistry(store(), folder());
    EXPECT_EQ(restored.error, "cannot open the folder " + backup.string() + ": Not a directory; nothing was changed");
    EXPECT_TRUE(state(kUserSetting).present);
}

// The failure's sentence starts with a capital, unless it starts with a
// path: "st/..." and "St/..." name two files.
TEST(RestoreFailureText, CapitalisesAWordButNeverAPath)
{
    for (const auto& [error, said] : {std::pair{"the backup is damaged", "The backup is damaged."},
                                      {"st/Backup/Backup.reg is not a regular file",
                                       "st/Backup/Backup.reg is not a regular file."}}) {
        RestoreResult result;
        result.error = error;
        EXPECT_NE(restoreFailureText(result).find("\r\n\r\n" + std::string(said)), std::string::npos) << said;
    }
}

}  // namespace
}  // namespace ferro
#endif
