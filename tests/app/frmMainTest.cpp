// The main window: what the user sees and what each command does.
#include "app/frmMain.h"
#include "info/frmAbout.h"
#include "tuning/TuningPlan.h"
#include "ui/WindowTest.h"
#include "wizard/frmBoost.h"

namespace ferro::test {
namespace {

using MainWindowTest = WindowTest;

TEST_F(MainWindowTest, OpensCentredWithItsCommandsAndNoHintYet)
{
    frmMain& main = windows->showMain();
    EXPECT_EQ(main.caption(), "FerroWinder");
    EXPECT_EQ(renderer.view(&main)->centred, 1);
    EXPECT_EQ(text(main, "Label1"), "") << "no hint before the mouse touches a button";
    EXPECT_EQ(text(main, "cmdBoost"), "Boost Connection");
    EXPECT_EQ(text(main, "cmdRestore"), "Restore Registry");
    EXPECT_EQ(text(main, "cmdExit"), "Exit");
    EXPECT_EQ(state(main, "cmdExit").toolTip, "Exit program with no changes.");
    EXPECT_EQ(text(main, "About") + text(main, "Nice") + text(main, "Help"), "&About&I Am Nice&Help");

    windows->hide(main);
    windows->showMain();
    EXPECT_EQ(renderer.view(&main)->centred, 1) << "centred only when first shown";
}

TEST_F(MainWindowTest, HoverHintsStayUntilAnotherButtonIsTouched)
{
    frmMain& main = windows->showMain();
    mouseOver(main, "cmdBoost");
    EXPECT_EQ(text(main, "Label1"), "Proceed to next step (no changes yet).");
    mouseOver(main, "cmdRestore");
    EXPECT_EQ(text(main, "Label1"), "Restore registry from backup (if one was made).");
    mouseOver(main, "cmdExit");
    EXPECT_EQ(text(main, "Label1"), "Exit program without any changes to your system.");
    mouseOver(main, "Frame1");
    EXPECT_EQ(text(main, "Label1"), "Exit program without any changes to your system.");
}

TEST_F(MainWindowTest, AboutAndHelpBoxesShowTheirTexts)
{
    frmMain& main = windows->showMain();
    click(main, "About");
    click(main, "Help");
    ASSERT_EQ(os.boxes.size(), 2u);

    EXPECT_EQ(os.boxes[0].text,
              "FerroWinder works by editing your system's registry,\r\n"
              "and settings to the most efficient configuration for your computer,\r\n"
              "and internet connection. Works for Dial-up/DSL/Cable/Satellite.\r\n"
              "You will notice a dramatic difference, guaranteed! And it's free!");
    EXPECT_EQ(os.boxes[0].caption, "FerroWinder");
    EXPECT_EQ(os.boxes[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(os.boxes[0].icon, MsgIcon::None);

    EXPECT_EQ(os.boxes[1].text,
              "           Everything in this program, one should find\r\n"
              "      self-explanatory. If you have any specific questions\r\n"
              "or concerns, E-Mail me for support: support@hollowmere.example");
    EXPECT_EQ(os.boxes[1].caption, "FerroWinder");
    EXPECT_EQ(os.boxes[1].buttons, MsgButtons::Ok);
    EXPECT_EQ(os.boxes[1].icon, MsgIcon::Information);
    EXPECT_EQ(os.boxes[1].owner, &main);
}

TEST_F(MainWindowTest, BoostTwiceOpensOneWizardAndBeepsTwice)
{
    frmMain& main = windows->showMain();
    click(main, "cmdBoost");
    frmBoost* wizard = windows->boost();
    click(main, "cmdBoost");
    EXPECT_EQ(windows->boost(), wizard);
    EXPECT_EQ(renderer.liveViews(), 2);
    EXPECT_EQ(renderer.view(wizard)->raised, 2) << "brought to the front again";
    EXPECT_EQ(os.beeps, 2);
    EXPECT_TRUE(shown(wizard));
    EXPECT_TRUE(shown(&main)) << "the main window stays usable behind the wizard";
}

class RunningWizardTest : public WindowTest {
protected:
    // Opens the wizard from the main window, answers YES to the backup, goes
    // to the optimisation page and lets the run's first step write.
    frmMain& startRun()
    {
        frmMain& main = windows->showMain();
        click(main, "cmdBoost");
        for (int page = 0; page < 3; ++page)
            click(*windows->boost(), "cmdNext_0");
        fire(*windows->boost(), "Timer1");
        EXPECT_TRUE(written(1));
        return main;
    }

    bool written(int step)
    {
        const PlanEntry& e = planEntry(step);
        return valueText(e.root, e.keyPath, e.valueName) != "absent";
    }

    // After the program has ended: nothing was asked, every window is gone
    // and no further step can run, while the first step's value stays.
    void expectEndedMidRun(frmBoost* wizard)
    {
        EXPECT_EQ(renderer.quits, 1);
        EXPECT_EQ(windows->boost(), nullptr);
        EXPECT_EQ(windows->main(), nullptr);
        EXPECT_FALSE(wizard->state("Timer1").enabled) << "the run stopped between two steps";
        EXPECT_TRUE(os.boxes.empty()) << "no \"Setup was not completed.\" notice";
        finishEvents();
        EXPECT_EQ(renderer.liveViews(), 0);
        EXPECT_TRUE(written(1)) << "written values stay";
        EXPECT_FALSE(written(2));
    }
};

TEST_F(RunningWizardTest, ExitEndsEverythingAndKeepsWhatWasWritten)
{
    frmMain& main = startRun();
    frmBoost* wizard = windows->boost();
    click(main, "cmdExit");
    expectEndedMidRun(wizard);
}

TEST_F(RunningWizardTest, ClosingTheMainWindowEndsEverythingToo)
{
    frmMain& main = startRun();
    frmBoost* wizard = windows->boost();
    closeFromTitleBar(main);
    expectEndedMidRun(wizard);
}

TEST_F(MainWindowTest, UnloadingTheMainWindowByTheProgramDoesNotEndIt)
{
    frmMain& main = windows->showMain();
    windows->unload(main);
    finishEvents();
    EXPECT_EQ(renderer.quits, 0);
    EXPECT_EQ(windows->main(), nullptr) << "unloaded";
}

TEST_F(MainWindowTest, IAmNiceHidesTheMainWindowUntilTheAboutWindowGoes)
{
    frmMain& main = windows->showMain();
    click(main, "Nice");
    ASSERT_NE(windows->about(), nullptr);
    EXPECT_TRUE(shown(windows->about()));
    EXPECT_EQ(renderer.view(windows->about())->owner, &main) << "no taskbar entry of its own";
    EXPECT_FALSE(shown(&main));

    click(*windows->about(), "cmdOK");
    finishEvents();
    EXPECT_TRUE(shown(&main));
    EXPECT_EQ(windows->about(), nullptr);

    click(main, "Nice");
    EXPECT_FALSE(shown(&main));
    closeFromTitleBar(*windows->about());
    finishEvents();
    EXPECT_TRUE(shown(&main)) << "the title-bar close brings the main window back too";
    EXPECT_EQ(windows->about(), nullptr);
    EXPECT_EQ(renderer.quits, 0);
}

}  // namespace
}  // namespace ferro::test
