// The finish page, the restart, the closing notice and the speed-test link.
#include "tuning/TuningPlan.h"
#include "wizard/WizardTesting.h"

namespace ferro::test {
namespace {

const Page kFinishPage{"lblInformation_4", "lblNote_2", "cmdBack_0", "cmdRestart_0", "cmdRestart_1"};
const char* const kRestartNotice =
    "Make sure you save any open programs.\r\nWindows will restart once you click OK.";
const char* const kRefused = "The computer could not be restarted. Please restart it yourself.";

class FinishPageTest : public WizardTest {
protected:
    void goToPage(int page)
    {
        open();
        for (int i = 0; i < page && i < 3; ++i)
            click("cmdNext_0");
        if (page == 4) {
            fireRun();
            click("cmdNext_0");
        }
    }

    void expectBox(std::size_t index, const std::string& text, const std::string& caption, MsgIcon icon)
    {
        ASSERT_LT(index, os.boxes.size());
        EXPECT_EQ(os.boxes[index].text, text);
        EXPECT_EQ(os.boxes[index].caption, caption);
        EXPECT_EQ(os.boxes[index].buttons, MsgButtons::Ok);
        EXPECT_EQ(os.boxes[index].icon, icon);
    }
};

TEST_F(FinishPageTest, RestartWarnsFirstAndThenAsksTheSystemOnce)
{
    goToPage(4);
    ASSERT_EQ(shownPage(), kFinishPage);
    click("cmdRestart_0");
    ASSERT_EQ(os.boxes.size(), 1u);
    expectBox(0, kRestartNotice, "Ferrowinder", MsgIcon::Information);
    EXPECT_EQ(os.boxes[0].owner, wizard);
    EXPECT_EQ(os.restartRequestedAfterBoxes, std::vector<std::size_t>{1});
    EXPECT_EQ(shownPage(), kFinishPage);
}

TEST_F(FinishPageTest, ARefusalIsReportedWhenTheSystemAnswersAndCanBeTriedAgain)
{
    goToPage(4);
    os.restartAccepted = false;
    click("cmdRestart_0");
    EXPECT_EQ(os.boxes.size(), 1u) << "the window does not wait for the answer";
    os.answerRestart();
    click("cmdRestart_0");
    os.answerRestart();
    ASSERT_EQ(os.boxes.size(), 4u);
    for (std::size_t i : {0u, 2u}) {
        expectBox(i, kRestartNotice, "Ferrowinder", MsgIcon::Information);
        expectBox(i + 1, kRefused, "FerroWinder", MsgIcon::Warning);
    }
    EXPECT_EQ(os.restartRequestedAfterBoxes, (std::vector<std::size_t>{1, 3}));
}

TEST_F(FinishPageTest, ARefusalThatComesAfterTheWizardHasGoneIsStillReported)
{
    goToPage(4);
    os.restartAccepted = false;
    click("cmdRestart_0");
    closeFromTitleBar(*wizard);
    finishEvents();
    ASSERT_EQ(windows->boost(), nullptr);
    os.answerRestart();
    ASSERT_EQ(os.boxes.size(), 3u);
    expectBox(2, kRefused, "FerroWinder", MsgIcon::Warning);
    EXPECT_EQ(os.boxes[2].owner, nullptr);
}

TEST_F(FinishPageTest, RestartLaterHidesTheWizardUntilItIsShownAgain)
{
    goToPage(4);
    click("cmdRestart_1");
    EXPECT_FALSE(shown(wizard));
    EXPECT_TRUE(os.boxes.empty());
    EXPECT_EQ(os.restartRequests, 0);
    EXPECT_EQ(&windows->showBoost(), wizard) << "still loaded";
    EXPECT_EQ(shownPage(), kFinishPage);
}

TEST_F(FinishPageTest, ClosingFromTheTitleBarShowsTheNoticeOnceOnEveryPageAndUnloads)
{
    for (int page = 0; page <= 4; ++page) {
        SCOPED_TRACE(page);
        goToPage(page);
        os.boxes.clear();
        closeFromTitleBar(*wizard);
        ASSERT_EQ(os.boxes.size(), 1u);
        expectBox(0, "Setup was not completed.", "FerroWinder", MsgIcon::None);
        EXPECT_EQ(windows->boost(), nullptr);
        finishEvents();
        EXPECT_EQ(renderer.liveViews(), 0);
    }
    wizard = &windows->showBoost();
    EXPECT_EQ(shownPage(), (Page{"lblInformation_0", "lblNote_0", "lblConfirm_0", "cmbConfirm_0", "cmdNext_0"}))
        << "loads afresh";
}

TEST_F(FinishPageTest, ARunStopsBeforeTheClosingNoticeAndWritesNothingBehindIt)
{
    goToPage(3);
    fireStep();
    bool armedBehindTheBox = true;
    os.whileBoxOpen = [&](const FakeOsServices::Box&) { armedBehindTheBox = stepArmed(); };
    closeFromTitleBar(*wizard);
    EXPECT_FALSE(armedBehindTheBox);
    const PlanEntry& second = planEntry(2);
    EXPECT_EQ(valueText(second.root, second.keyPath, second.valueName), "absent");
    const PlanEntry& first = planEntry(1);
    EXPECT_NE(valueText(first.root, first.keyPath, first.valueName), "absent") << "written values stay";
}

TEST_F(FinishPageTest, TheProgramEndsWithoutTheNoticeAndARunEndsWithIt)
{
    goToPage(3);
    fireStep();
    windows->endNow();
    EXPECT_TRUE(os.boxes.empty());
    EXPECT_EQ(windows->boost(), nullptr);
    EXPECT_FALSE(stepArmed());
    EXPECT_EQ(renderer.quits, 1);
}

TEST_F(FinishPageTest, TheSpeedTestLinkOpensInTheBrowserOnEveryPageAndDuringTheRun)
{
    goToPage(0);
    EXPECT_NE(text("Label1").find("speed.cloudflare.com"), std::string::npos);
    click("Label1");
    goToPage(3);
    fireStep();
    click("Label1");
    EXPECT_EQ(os.openedUrls, (std::vector<std::string>{"https://speed.cloudflare.com/",
                                                       "https://speed.cloudflare.com/"}));
}

}  // namespace
}  // namespace ferro::test
