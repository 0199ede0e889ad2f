// The finish page, the restart, the closing notice and the speed-test link.
#include "wizard/WizardTesting.h"

#include <QMouseEvent>

namespace ferro::test {
namespace {

const QStringList kFinishPage{"lblInformation_4", "lblNote_2", "cmdBack_0", "cmdRestart_0",
                              "cmdRestart_1"};

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

    void expectBox(std::size_t index, const QString& text, const QString& caption, MsgIcon icon)
    {
        ASSERT_LT(index, os.boxes.size());
        EXPECT_EQ(os.boxes[index].text, text);
        EXPECT_EQ(os.boxes[index].caption, caption);
        EXPECT_EQ(os.boxes[index].buttons, MsgButtons::Ok);
        EXPECT_EQ(os.boxes[index].icon, icon);
    }

    void clickLink()
    {
        auto* link = control<QLabel>("Label1");
        const QPointF centre = link->rect().center();
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, centre, link->mapToGlobal(centre), Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                              Qt::NoModifier);
            QCoreApplication::sendEvent(link, &event);
        }
    }
};

const char* const kRestartNotice =
    "Make sure you save any open programs.\r\nWindows will restart once you click OK.";

TEST_F(FinishPageTest, RestartWarnsFirstAndThenAsksTheSystemOnce)
{
    goToPage(4);
    ASSERT_EQ(shownPage(), kFinishPage);
    click("cmdRestart_0");
    ASSERT_EQ(os.boxes.size(), 1u);
    expectBox(0, kRestartNotice, "Ferrowinder", MsgIcon::Information);
    EXPECT_EQ(os.restartRequestedAfterBoxes, std::vector<std::size_t>{1});
    EXPECT_EQ(shownPage(), kFinishPage);
}

TEST_F(FinishPageTest, ARefusedRestartIsReportedAndCanBeTriedAgain)
{
    goToPage(4);
    os.restartAccepted = false;
    click("cmdRestart_0");
    click("cmdRestart_0");
    ASSERT_EQ(os.boxes.size(), 4u);
    for (std::size_t i : {0u, 2u}) {
        expectBox(i, kRestartNotice, "Ferrowinder", MsgIcon::Information);
        expectBox(i + 1, "The computer could not be restarted. Please restart it yourself.",
                  "FerroWinder", MsgIcon::Warning);
    }
    EXPECT_EQ(os.restartRequestedAfterBoxes, (std::vector<std::size_t>{1, 3}));
}

TEST_F(FinishPageTest, RestartLaterHidesTheWizardUntilItIsShownAgain)
{
    goToPage(4);
    click("cmdRestart_1");
    EXPECT_FALSE(wizard->isVisible());
    EXPECT_TRUE(os.boxes.empty());
    EXPECT_EQ(os.restartRequests, 0);
    wizard->show();
    EXPECT_EQ(shownPage(), kFinishPage);
}

TEST_F(FinishPageTest, ClosingFromTheTitleBarShowsTheNoticeOnceOnEveryPage)
{
    for (int page = 0; page <= 4; ++page) {
        SCOPED_TRACE(page);
        goToPage(page);
        os.boxes.clear();
        closeFromTitleBar();
        ASSERT_EQ(os.boxes.size(), 1u);
        expectBox(0, "Setup was not completed.", "FerroWinder", MsgIcon::None);
        EXPECT_FALSE(wizard->isVisible());
    }
}

TEST_F(FinishPageTest, TheProgramClosesSilentlyAndARunEndsWithTheWindow)
{
    goToPage(3);
    fireStep();
    wizard->closeSilently();
    EXPECT_FALSE(wizard->isVisible());
    EXPECT_FALSE(stepTimer()->isActive());
    goToPage(3);
    wizard->close();
    EXPECT_FALSE(wizard->isVisible());
    EXPECT_TRUE(os.boxes.empty());

    // A title-bar close in the middle of a run stops it too.
    goToPage(3);
    fireStep();
    closeFromTitleBar();
    EXPECT_FALSE(stepTimer()->isActive());
    EXPECT_FALSE(value(RootKey::LocalMachine, "System\\CurrentControlSet\\Services\\VxD\\MSTCP",
                       "DefaultTTL").present);
}

TEST_F(FinishPageTest, TheSpeedTestLinkOpensInTheBrowserOnEveryPageAndDuringTheRun)
{
    goToPage(0);
    auto* link = control<QLabel>("Label1");
    EXPECT_TRUE(link->text().contains("speed.cloudflare.com"));
    EXPECT_TRUE(link->font().underline());
    EXPECT_TRUE(link->font().bold());
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    clickLink();
    goToPage(3);
    fireStep();
    clickLink();
    EXPECT_EQ(os.openedUrls, QStringList({"https://speed.cloudflare.com/", "https://speed.cloudflare.com/"}));
}

}  // namespace
}  // namespace ferro::test
