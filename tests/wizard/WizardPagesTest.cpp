// The wizard's pages and the way Next, Back and the answer move between them.
#include "wizard/WizardTesting.h"

#include <QFile>
#include <QGroupBox>
#include <QLineEdit>

namespace ferro::test {
namespace {

const QStringList kQuestionPage{"lblInformation_0", "lblNote_0", "lblConfirm_0", "cmbConfirm_0",
                                "cmdNext_0"};
const QStringList kBackupPage{"lblInformation_1", "lblBackingUp_0", "lblSetting_0", "cmdBack_0",
                              "cmdNext_0"};
const QStringList kBeforeRunPage{"lblInformation_2", "lblNote_1", "cmdBack_0", "cmdNext_0"};
const QStringList kRunPage{"lblInformation_3", "lblOptimizing_0", "lblSetting_1", "cmdBack_0",
                           "cmdNext_0"};
const QStringList kFinishPage{"lblInformation_4", "lblNote_2", "cmdBack_0", "cmdRestart_0",
                              "cmdRestart_1"};

TEST_F(WizardTest, OpensOnTheBackupQuestionWithYes)
{
    open();
    EXPECT_EQ(wizard->windowTitle(), "FerroWinder");
    EXPECT_EQ(wizard->minimumSize(), QSize(441, 400));
    EXPECT_EQ(wizard->maximumSize(), QSize(441, 400));
    EXPECT_FALSE(wizard->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));

    EXPECT_EQ(shownPage(), kQuestionPage);
    EXPECT_EQ(text("lblInformation_0"),
              "In order for FerroLink to ensure maximum internet connection, it must edit some "
              "settings in your registry. If you wish to restore your registry at a later point, "
              "it  must backup those settings now.");
    EXPECT_EQ(text("lblNote_0"), "It is highly recomended that you backup your registry.");
    EXPECT_EQ(text("lblConfirm_0"), "Backup registry?");
    EXPECT_EQ(control<QComboBox>("cmbConfirm_0")->currentText(), "YES");
    EXPECT_TRUE(button("cmdNext_0")->isEnabled());
    EXPECT_EQ(text("cmdNext_0"), "Next");
}

TEST_F(WizardTest, YesWritesTheBackupOnEachVisitAndBackRetracesTheWay)
{
    open();
    click("cmdNext_0");
    EXPECT_EQ(shownPage(), kBackupPage);
    EXPECT_EQ(text("lblInformation_1"), "FerroLink has now backed up your registry settings.");
    EXPECT_EQ(text("lblBackingUp_0"), "Saving settings to file: Backup.nbf");
    EXPECT_EQ(text("lblSetting_0"), "Complete");
    EXPECT_TRUE(button("cmdNext_0")->isEnabled());

    const QString marker = dir.filePath("Backup/Backup.nbf");
    ASSERT_TRUE(QFile::remove(marker));
    click("cmdBack_0");
    EXPECT_EQ(shownPage(), kQuestionPage);
    click("cmdNext_0");
    EXPECT_EQ(text("lblBackingUp_0"), "Saving settings to file: Backup.nbf");
    EXPECT_TRUE(QFile::exists(marker));

    click("cmdNext_0");
    EXPECT_EQ(shownPage(), kBeforeRunPage);
    EXPECT_EQ(text("lblInformation_2"),
              "FerroLink will now edit your system's settings and registry for an improved "
              "internet connection.");
    EXPECT_EQ(text("lblNote_1"), "Optimization will begin once you click next.");
    ASSERT_TRUE(QFile::remove(marker));
    click("cmdBack_0");  // with YES, back to the backup page, which writes again
    EXPECT_EQ(shownPage(), kBackupPage);
    EXPECT_TRUE(QFile::exists(marker));
}

TEST_F(WizardTest, NoSkipsTheBackupPageBothWaysAndTheAnswerReturnsToYes)
{
    open();
    answer("NO");
    click("cmdNext_0");
    EXPECT_EQ(shownPage(), kBeforeRunPage);
    EXPECT_FALSE(QFile::exists(dir.filePath("Backup")));
    click("cmdBack_0");
    EXPECT_EQ(shownPage(), kQuestionPage);
    EXPECT_EQ(control<QComboBox>("cmbConfirm_0")->currentText(), "YES");
}

TEST_F(WizardTest, TypedAnswersCountWhateverTheirCaseAndBlanks)
{
    const struct {
        const char* typed;
        const QStringList& page;
    } cases[] = {{" no ", kBeforeRunPage}, {"Yes  ", kBackupPage}, {"maybe", kQuestionPage}, {"", kQuestionPage}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        open();
        answer(c.typed);
        click("cmdNext_0");
        EXPECT_EQ(shownPage(), c.page);
        // Anything else leads back to the question, as Back does.
        EXPECT_EQ(control<QComboBox>("cmbConfirm_0")->currentText(),
                  c.page == kQuestionPage ? QString("YES") : QString(c.typed));
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
    EXPECT_FALSE(button("cmdNext_0")->isEnabled());
    EXPECT_TRUE(button("cmdBack_0")->isEnabled());
    EXPECT_TRUE(stepTimer()->isActive());

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
    EXPECT_TRUE(stepTimer()->isActive());
}

TEST_F(WizardTest, SpeedTextsFollowTheSliderWheneverItRests)
{
    open();
    auto* frame = control<QGroupBox>("Frame1");
    auto* description = control<QLineEdit>("SpdTxt");
    EXPECT_EQ(frame->title(), "Select Connection Speed (Kbps). Use arrow keys for fine tuning");
    EXPECT_EQ(description->text(), "");
    EXPECT_EQ(slider()->value(), 56);

    const struct {
        int speed;
        const char* phrase;
    } moves[] = {{0, "Dial-Up"},           {56, "Dial-Up"},
                 {57, "Dial-Up Tandem/DSL/Satellite"}, {128, "Dial-Up Tandem/DSL/Satellite"},
                 {129, "DSL/Satellite/Cable"}, {9999, "DSL/Satellite/Cable"},
                 {10000, "T1/T3"},             {20000, "T1/T3"}};
    for (const auto& m : moves) {
        slider()->setValue(m.speed);
        EXPECT_EQ(frame->title(), QString("Select Connection Speed (%1 Kbps)").arg(m.speed));
        EXPECT_EQ(description->text(), QString("%1 Kilobytes per second %2").arg(m.speed).arg(m.phrase));
    }

    slider()->setValue(56);
    const struct {
        Qt::Key key;
        int speed;
    } keys[] = {{Qt::Key_Right, 57}, {Qt::Key_PageDown, 7}, {Qt::Key_PageUp, 57}, {Qt::Key_Left, 56}};
    for (const auto& k : keys) {
        QKeyEvent press(QEvent::KeyPress, k.key, Qt::NoModifier);
        QCoreApplication::sendEvent(slider(), &press);
        EXPECT_EQ(slider()->value(), k.speed);
        EXPECT_EQ(frame->title(), QString("Select Connection Speed (%1 Kbps)").arg(k.speed));
        EXPECT_TRUE(description->text().startsWith(QString("%1 Kilobytes").arg(k.speed)));
    }
    // A click on the track beside the thumb moves it by a page.
    const QPointF track(slider()->width() - 4, slider()->height() / 2.0);
    QMouseEvent press(QEvent::MouseButtonPress, track, slider()->mapToGlobal(track), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, track, slider()->mapToGlobal(track),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(slider(), &press);
    QCoreApplication::sendEvent(slider(), &release);
    EXPECT_EQ(slider()->value(), 106);
    EXPECT_EQ(description->text(), "106 Kilobytes per second Dial-Up Tandem/DSL/Satellite");
}

}  // namespace
}  // namespace ferro::test
