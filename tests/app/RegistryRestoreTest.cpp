// "Restore Registry" in the main window: the question, the restore from the
// wizard's backup (or the default list without one), and what the user is told.
#include <filesystem>

#include "app/frmMain.h"
#include "tuning/Backup.h"
#include "tuning/TuningPlan.h"
#include "ui/WindowTest.h"
#include "wizard/RegistryMessages.h"

namespace ferro::test {
namespace {

const char* const kInternetSettings = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

class RestoreButtonTest : public WindowTest {
protected:
    // The user's own setting, then the wizard's backup and a whole boost.
    void boostWithBackup(std::uint32_t speed = kDefaultSpeed)
    {
        ASSERT_EQ(writeValue(store, {RootKey::CurrentUser, kInternetSettings, "MaxConnectionsPerServer"},
                             kRegDword, {4, 0, 0, 0}),
                  kStatusOk);
        ASSERT_TRUE(writeBackup(store, folder()).ok);
        boost(speed);
    }

    // As the wizard's run does: the backup is marked before the writes.
    void boost(std::uint32_t speed = kDefaultSpeed)
    {
        ASSERT_TRUE(BoostMark(folder()).result().ok);
        const modRegistry::Registry reg{store, [](const Failure& f) { FAIL() << registryFailureText(f); }};
        for (const PlanEntry& e : tuningPlan())
            applyPlanEntry(reg, e, speed);
    }

    // Answers the question and clicks "Restore Registry".
    void restore(MsgAnswer answer)
    {
        os.answers.push_back(answer);
        click(windows->showMain(), "cmdRestore");
    }

    std::string userSetting() { return valueText(RootKey::CurrentUser, kInternetSettings, "MaxConnectionsPerServer"); }
    // What the boost writes there (its step 10).
    static std::string boostSetting() { return *planData(planEntry(10), kDefaultSpeed); }

    bool backupExists() const { return std::filesystem::exists(backupRegPath(folder())); }

    void expectSuccessBox(std::size_t index)
    {
        ASSERT_GT(os.boxes.size(), index);
        EXPECT_EQ(os.boxes[index].text, "Your registry has been restored.");
        EXPECT_EQ(os.boxes[index].caption, "Success");
        EXPECT_EQ(os.boxes[index].buttons, MsgButtons::Ok);
        EXPECT_EQ(os.boxes[index].icon, MsgIcon::Information);
    }
};

TEST_F(RestoreButtonTest, AsksFirstAndNoChangesNothing)
{
    boostWithBackup();
    restore(MsgAnswer::No);
    ASSERT_EQ(os.boxes.size(), 1u) << "no second box";
    EXPECT_EQ(os.boxes[0].text, "Are you sure you want to restore your registry to previous settings?");
    EXPECT_EQ(os.boxes[0].caption, "FerroWinder");
    EXPECT_EQ(os.boxes[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(os.boxes[0].defaultAnswer, MsgAnswer::Yes);
    EXPECT_EQ(os.boxes[0].icon, MsgIcon::None);
    EXPECT_EQ(userSetting(), boostSetting()) << "the boost's value is still there";
    EXPECT_TRUE(backupExists());
}

TEST_F(RestoreButtonTest, PutsBackWhatTheBackupRecordedAndASecondRestoreChangesNothing)
{
    boostWithBackup(1024);  // above dial-up speed, so that the MTU is written too
    for (std::size_t round = 0; round < 2; ++round) {
        restore(MsgAnswer::Yes);
        expectSuccessBox(2 * round + 1);
        EXPECT_EQ(userSetting(), "4") << "the user's own setting comes back, and stays";
        for (const PlanEntry& e : tuningPlan()) {
            if (e.valueName != std::string("MaxConnectionsPerServer")) {
                EXPECT_EQ(valueText(e.root, e.keyPath, e.valueName), "absent") << e.valueName;
            }
        }
        EXPECT_TRUE(backupExists());
    }
}

TEST_F(RestoreButtonTest, WithoutABackupDeletesTheDefaultListAndTwiceIsStillSuccess)
{
    boost();
    restore(MsgAnswer::Yes);
    restore(MsgAnswer::Yes);
    ASSERT_EQ(os.boxes.size(), 4u);
    expectSuccessBox(1);
    expectSuccessBox(3);
    for (const ValuePath& v : defaultRestoreValues())
        EXPECT_EQ(valueText(v.root, v.keyPath, v.valueName), "absent") << v.valueName;
    const PlanEntry& kept = planEntry(12);
    EXPECT_NE(valueText(kept.root, kept.keyPath, kept.valueName), "absent") << "not on the list";
}

TEST_F(RestoreButtonTest, ARefusedRestoreIsReportedAndTheBackupKept)
{
    boostWithBackup();
    store.readOnly = true;
    restore(MsgAnswer::Yes);
    ASSERT_EQ(os.boxes.size(), 2u);
    const FakeOsServices::Box& box = os.boxes[1];
    EXPECT_EQ(box.caption, "FerroWinder");
    EXPECT_EQ(box.icon, MsgIcon::Warning);
    EXPECT_EQ(box.buttons, MsgButtons::Ok);
    EXPECT_NE(box.text.find("MaxConnectionsPerServer: access denied (5)"), std::string::npos) << box.text;
    EXPECT_NE(box.text.find("DefaultRcvWindow: access denied (5)"), std::string::npos) << box.text;
    EXPECT_TRUE(backupExists());
    EXPECT_EQ(userSetting(), boostSetting());
}

}  // namespace
}  // namespace ferro::test
