// The restore: from the wizard's backup when there is one, else the default
// list; what it reports when a value cannot be restored.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "registry/SqliteStore.h"
#include "registry/TestRegistry.h"
#include "tuning/Backup.h"
#include "tuning/TuningPlan.h"

namespace ferro {
namespace {

namespace fs = std::filesystem;

const ValuePath kUserSetting{RootKey::CurrentUser,
                             "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings",
                             "MaxConnectionsPerServer"};
const Bytes kUserData{4, 0, 0, 0};

class RestoreTest : public ::testing::Test {
protected:
    RegistryBackend& store() { return reg.backend(); }
    const std::string& folder() const { return reg.folder(); }

    void boost(RegistryBackend& backend)
    {
        const modRegistry::Registry layer{backend, [](const std::string& m) { FAIL() << m; }};
        for (const PlanEntry& e : tuningPlan())
            applyPlanEntry(layer, e, kDefaultSpeed);
    }

    // The user's own setting, the wizard's backup, then a boost.
    void boostWithBackup()
    {
        ASSERT_EQ(writeValue(store(), kUserSetting, kRegDword, kUserData), kStatusOk);
        ASSERT_TRUE(writeBackup(store(), folder()).ok);
        boost(store());
    }

    ValueState state(const ValuePath& path)
    {
        ValueState s;
        readValue(store(), path, s);
        return s;
    }

    std::vector<std::string> retiredBackups() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(backupFolder(folder())))
            if (entry.path().filename().string().rfind("Backup.reg.restored-", 0) == 0)
                names.push_back(entry.path().string());
        return names;
    }

    test::TestRegistry reg;
};

TEST_F(RestoreTest, PutsEveryValueBackAsTheBackupRecordedIt)
{
    boostWithBackup();
    const RestoreResult result = restoreRegistry(store(), folder());
    EXPECT_TRUE(result.ok()) << restoreFailureText(result);
    EXPECT_TRUE(result.usedBackup);

    const ValueState user = state(kUserSetting);
    EXPECT_TRUE(user.present) << "the user's own setting comes back";
    EXPECT_EQ(user.type, kRegDword);
    EXPECT_EQ(user.data, kUserData);
    for (const ValuePath& v : planValues()) {
        if (!samePlace(v, kUserSetting)) {
            EXPECT_FALSE(state(v).present) << v.valueName << " did not exist before the boost";
        }
    }
}

TEST_F(RestoreTest, RetiresTheUsedBackupSoTheNextBoostTakesAFreshOne)
{
    boostWithBackup();
    const RestoreResult result = restoreRegistry(store(), folder());
    EXPECT_FALSE(fs::exists(backupRegPath(folder())));
    ASSERT_EQ(retiredBackups(), std::vector<std::string>{result.retiredTo});

    // The next backup records the state as it is now, not the retired one.
    ASSERT_EQ(writeValue(store(), kUserSetting, kRegDword, {9, 0, 0, 0}), kStatusOk);
    ASSERT_TRUE(writeBackup(store(), folder()).ok);
    boost(store());
    EXPECT_TRUE(restoreRegistry(store(), folder()).ok());
    EXPECT_EQ(state(kUserSetting).data, (Bytes{9, 0, 0, 0}));
}

TEST_F(RestoreTest, WithoutABackupDeletesTheDefaultListAtTheRootsTheBoostWrites)
{
    boost(store());
    const RestoreResult result = restoreRegistry(store(), folder());
    EXPECT_TRUE(result.ok()) << restoreFailureText(result);
    EXPECT_FALSE(result.usedBackup);
    for (const PlanEntry& e : tuningPlan())
        EXPECT_EQ(state({e.root, e.keyPath, e.valueName}).present, !e.restoredByDefault && planData(e, kDefaultSpeed))
            << "step " << e.step << " " << e.valueName;
}

TEST_F(RestoreTest, RestoringTwiceOrWhereNothingWasWrittenSucceeds)
{
    EXPECT_TRUE(restoreRegistry(store(), folder()).ok()) << "absent values count as restored";
    boostWithBackup();
    EXPECT_TRUE(restoreRegistry(store(), folder()).ok());
    const RestoreResult second = restoreRegistry(store(), folder());
    EXPECT_TRUE(second.ok()) << restoreFailureText(second);
    EXPECT_FALSE(second.usedBackup) << "the first one retired the backup";
}

TEST_F(RestoreTest, ARefusedRestoreNamesEachValueAndKeepsTheBackup)
{
    boostWithBackup();
    SqliteStore readOnly(reg.storePath(), SqliteStore::Mode::ReadOnly);
    const RestoreResult result = restoreRegistry(readOnly, folder());
    EXPECT_FALSE(result.ok());
    EXPECT_TRUE(result.retiredTo.empty());
    EXPECT_TRUE(fs::exists(backupRegPath(folder())));
    EXPECT_TRUE(retiredBackups().empty());

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

TEST_F(RestoreTest, ADamagedBackupChangesNothingAndIsKept)
{
    boost(store());
    fs::create_directories(backupFolder(folder()));
    { std::ofstream(backupRegPath(folder())) << "not a registry file\n"; }
    const RestoreResult result = restoreRegistry(store(), folder());
    EXPECT_FALSE(result.ok());
    EXPECT_NE(restoreFailureText(result).find("damaged"), std::string::npos);
    EXPECT_TRUE(fs::exists(backupRegPath(folder())));
    for (const ValuePath& v : defaultRestoreValues())
        EXPECT_TRUE(state(v).present) << v.valueName;
}

}  // namespace
}  // namespace ferro
#endif
