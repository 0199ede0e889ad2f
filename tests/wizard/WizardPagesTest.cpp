// The wizard's pages and the way Next, Back and the answer move between them.
#include <filesystem>

#include "wizard/WizardTesting.h"

namespace ferro::test {
namespace {

const Page kQuestionPage{"lblInformation_0", "lblNote_0", "lblConfirm_0", "cmbConfirm_0", "cmdNext_0"};
const Page kBackupPage{"lblInformation_1", "lblBackingUp_0", "lblSetting_0", "cmdBack_0", "cmdNext_0"};
const Page kBeforeRunPage{"lblInformation_2", "lblNote_1", "cmdBack_0", "cmdNext_0"};
const Page kRunPage{"lblInformation_3", "lblOptimizing_0", "lblSetting_1", "cmdBack_0", "cmdNext_0"};
const Page kFinishPage{"lblInformation_4", "lblNote_2", "cmdBack_0", "cmdRestart_0", "cmdRestart_1"};

TEST_F(WizardTest, OpensOnTheBackupQuestionWithYes)
{
    open();
    EXPECT_EQ(wizard->caption(), "FerroWinder");
    EXPECT_EQ(renderer.view(wizard)->centred, 1);
    EXPECT_EQ(shownPage(), kQuestionPage);
    EXPECT_EQ(text("lblInformation_0"),
              "In order for FerroLink to ensure maximum internet connection, it must edit some "
              "settings in your registry. If you wish to restore your registry at a later point, "
              "it  must backup those settings now.");
    EXPECT_EQ(text("lblNote_0"), "It is highly recomended that you backup your registry.");
    EXPECT_EQ(text("lblConfirm_0"), "Backup registry?");
    EXPECT_EQ(text("cmbConfirm_0"), "YES");
    EXPECT_TRUE(usable("cmdNext_0"));
    EXPECT_EQ(text("cmdNext_0"), "Next");
    EXPECT_FALSE(stepArmed());
}

TEST_F(WizardTest, YesWritesTheBackupOnEachVisitAndBackRetracesTheWay)
{
    open();
    click("cmdNext_0");
    EXPECT_EQ(shownPage(), kBackupPage);
    EXPECT_EQ(text("lblInformation_1"), "FerroLink has now backed up your registry settings.");
    EXPECT_EQ(text("lblBackingUp_0"), "Saving settings to file: Backup.nbf");
    EXPECT_EQ(text("lblSetting_0"), "Complete");
    EXPECT_TRUE(usable("cmdNext_0"));

    const std::filesystem::path marker = path("Backup/Backup.nbf");
    ASSERT_TRUE(std::filesystem::remove(marker));
    click("cmdBack_0");
    EXPECT_EQ(shownPage(), kQuestionPage);
    click("cmdNext_0");
    EXPECT_EQ(text("lblBackingUp_0"), "Saving settings to file: Backup.nbf");
    EXPECT_TRUE(std::filesystem::exists(marker));

    click("cmdNext_0");
    EXPECT_EQ(shownPage(), kBeforeRunPage);
    EXPECT_EQ(text("lblInformation_2"),
              "FerroLink will now edit your system's settings and registry for an improved "
              "internet connection.");
    EXPECT_EQ(text("lblNote_1"), "Optimization will begin once you click next.");
    ASSERT_TRUE(std::filesystem::remove(marker));
    click("cmdBack_0");  // with YES, back to the backup page, which writes again
    EXPECT_EQ(shownPage(), kBackupPage);
    EXPECT_TRUE(std::filesystem::exists(marker));
}

TEST_F(WizardTest, NoSkipsTheBackupPageBothWaysAndTheAnswerReturnsToYes)
{
    open();
    answer("NO");
    click("cmdNext_0");
    EXPECT_EQ(shownPage(), kBeforeRunPage);
    EXPECT_FALSE(std::filesystem::exists(path("Backup")));
    click("cmdBack_0");
    EXPECT_EQ(shownPage(), kQuestionPage);
    EXPECT_EQ(text("cmbConfirm_0"), "YES");
}

TEST_F(WizardTest, TypedAnswersCountWhateverTheirCaseAndBlanks)
{
    const struct {
        const char* typed;
        const Page& page;
    } cases[] = {{" no ", kBeforeRunPage}, {"Yes  ", kBackupPage}, {"maybe", kQuestionPage}, {"", kQuestionPage}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        open();
        answer(c.typed);
        click("cmdNext_0");
        EXPECT_EQ(shownPage(), c.page);
        // Anything else leads back to the question, as Back does.
        EXPECT_EQ(text("cmbConfirm_0"), &c.page == &kQuestionPage ? std::string("YES") : std::string(c.typed));
    }
}

TEST_F(WizardTest, TheRunPageLeadsToTheFinishPageAndItsBackRunsAgain)
{
    open();
    goToRunPage();
    EXPECT_EQ(shownPage(), kRunPage);
    EXPECT_EQ(text("lblInformation_3"),
              "FerroLink is now optimizing your system's settings and registry to boost your "
              "internet connection.");
    EXPECT_EQ(text("lblOptimizing_0"), "Optimizing:");
    EXPECT_EQ(text("lblSetting_1"), "...");
    EXPECT_FALSE(usable("cmdNext_0"));
    EXPECT_TRUE(usable("cmdBack_0"));
    EXPECT_TRUE(stepArmed());
    EXPECT_EQ(state(*wizard, "Timer1").interval, 3000);

    click("cmdBack_0");  // before the first step
    EXPECT_EQ(shownPage(), kBeforeRunPage);
    click("cmdNext_0");
    fireRun();
    EXPECT_EQ(text("cmdNext_0"), "Finished");
    click("cmdNext_0");
    EXPECT_EQ(shownPage(), kFinishPage);
    EXPECT_EQ(text("cmdNext_0"), "Next");
    EXPECT_EQ(text("lblInformation_4"), "In order for settings to take effect, you must restart your system.");
    EXPECT_EQ(text("lblNote_2"), "Would you like to restart your system now?");
    EXPECT_EQ(text("cmdRestart_0"), "Restart");
    EXPECT_EQ(text("cmdRestart_1"), "Restart Later");

    click("cmdBack_0");
    EXPECT_EQ(shownPage(), kRunPage);
    EXPECT_TRUE(stepArmed());
}

TEST_F(WizardTest, SpeedTextsFollowTheSliderWheneverItRests)
{
    open();
    EXPECT_EQ(text("Frame1"), "Select Connection Speed (Kbps). Use arrow keys for fine tuning");
    EXPECT_EQ(text("SpdTxt"), "");
    EXPECT_EQ(speed(), 56);

    const struct {
        int speed;
        const char* phrase;
    } moves[] = {{0, "Dial-Up"},           {56, "Dial-Up"},
                 {57, "Dial-Up Tandem/DSL/Satellite"}, {128, "Dial-Up Tandem/DSL/Satellite"},
                 {129, "DSL/Satellite/Cable"}, {9999, "DSL/Satellite/Cable"},
                 {10000, "T1/T3"},             {20000, "T1/T3"}};
    for (const auto& m : moves) {
        moveSlider(*wizard, "Slider1", m.speed);
        const std::string kbps = std::to_string(m.speed);
        EXPECT_EQ(text("Frame1"), "Select Connection Speed (" + kbps + " Kbps)");
        EXPECT_EQ(text("SpdTxt"), kbps + " Kilobytes per second " + m.phrase);
    }
}

}  // namespace
}  // namespace ferro::test
