// The main window: what the user sees and what each command does.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/AppTestSupport.h"
#include "app/frmMain.h"
#include "info/frmAbout.h"
#include "tuning/TuningPlan.h"
#include "wizard/frmBoost.h"

namespace ferro::test {
namespace {

using MainWindowTest = AppTest;

int openWizards()
{
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        count += qobject_cast<frmBoost*>(w) != nullptr;
    return count;
}

TEST_F(MainWindowTest, LooksAsDescribed)
{
    frmMain& main = windows->showMain();
    EXPECT_EQ(main.windowTitle(), "FerroWinder");
    EXPECT_EQ(main.centralWidget()->size(), QSize(285, 192));  // 4275 x 2880 twips
    EXPECT_EQ(main.minimumSize(), main.maximumSize()) << "the border is fixed";
    EXPECT_FALSE(main.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(main.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(main.windowIcon().isNull());
    EXPECT_EQ(main.centralWidget()->palette().color(QPalette::Window), QColor(128, 128, 128));

    auto* Label1 = control<QLabel>(&main, "Label1");
    EXPECT_EQ(Label1->text(), "") << "no hint before the mouse touches a button";
    EXPECT_EQ(Label1->palette().color(QPalette::WindowText), QColor(255, 255, 0));
    EXPECT_EQ(control<QPushButton>(&main, "cmdBoost")->text(), "Boost Connection");
    EXPECT_EQ(control<QPushButton>(&main, "cmdRestore")->text(), "Restore Registry");
    EXPECT_EQ(control<QPushButton>(&main, "cmdExit")->text(), "Exit");
    EXPECT_EQ(control<QPushButton>(&main, "cmdExit")->toolTip(), "Exit program with no changes.");
    EXPECT_EQ(main.focusWidget(), control<QPushButton>(&main, "cmdBoost"));

    QStringList menu;
    for (QAction* a : main.menuBar()->actions())
        menu << a->objectName() + "=" + a->text();
    EXPECT_EQ(menu, QStringList({"About=&About", "Nice=&I Am Nice", "Help=&Help"}));
}

TEST_F(MainWindowTest, EveryControlFitsItsTextAndNoneOverlap)
{
    frmMain& main = windows->showMain();
    const QWidget* client = main.centralWidget();
    const QList<QWidget*> controls = client->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* c : controls) {
        EXPECT_TRUE(client->rect().contains(c->geometry())) << c->objectName().toStdString();
        for (QWidget* other : controls) {
            if (other != c) {
                EXPECT_FALSE(c->geometry().intersects(other->geometry()))
                    << c->objectName().toStdString() << " overlaps " << other->objectName().toStdString();
            }
        }
    }
    for (const char* name : {"cmdBoost", "cmdRestore", "cmdExit"}) {
        auto* b = control<QPushButton>(&main, name);
        EXPECT_LE(b->fontMetrics().horizontalAdvance(b->text()) + 8, b->width()) << name;
    }
    const auto* logo = control<QLabel>(&main, "Picture2");
    EXPECT_EQ(logo->size(), QSize(72, 46));
    EXPECT_TRUE(logo->parentWidget()->rect().contains(logo->geometry()));
}

TEST_F(MainWindowTest, HoverHintsStayUntilAnotherButtonIsTouched)
{
    frmMain& main = windows->showMain();
    auto* Label1 = control<QLabel>(&main, "Label1");

    QTest::mouseMove(control<QPushButton>(&main, "cmdBoost"));
    EXPECT_EQ(Label1->text(), "Proceed to next step (no changes yet).");
    QTest::mouseMove(control<QPushButton>(&main, "cmdRestore"));
    EXPECT_EQ(Label1->text(), "Restore registry from backup (if one was made).");
    QTest::mouseMove(control<QPushButton>(&main, "cmdExit"));
    EXPECT_EQ(Label1->text(), "Exit program without any changes to your system.");
    QTest::mouseMove(main.centralWidget(), QPoint(5, 120));
    EXPECT_EQ(Label1->text(), "Exit program without any changes to your system.");
}

TEST_F(MainWindowTest, AboutAndHelpBoxesShowTheirTexts)
{
    frmMain& main = windows->showMain();
    main.findChild<QAction*>("About")->trigger();
    main.findChild<QAction*>("Help")->trigger();
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
}

TEST_F(MainWindowTest, BoostTwiceOpensOneWizardAndBeepsTwice)
{
    frmMain& main = windows->showMain();
    QTest::mouseClick(control<QPushButton>(&main, "cmdBoost"), Qt::LeftButton);
    QTest::mouseClick(control<QPushButton>(&main, "cmdBoost"), Qt::LeftButton);
    EXPECT_EQ(openWizards(), 1);
    EXPECT_EQ(os.beeps, 2);
    EXPECT_TRUE(windows->boost()->isVisible());
    EXPECT_TRUE(main.isVisible()) << "the main window stays usable behind the wizard";
}

class RunningWizardTest : public AppTest {
protected:
    // Opens the wizard from the main window, answers YES to the backup and
    // goes to the optimisation page, then waits for the run's first write.
    frmMain& startRun()
    {
        frmMain& main = windows->showMain();
        QTest::mouseClick(control<QPushButton>(&main, "cmdBoost"), Qt::LeftButton);
        for (int page = 0; page < 3; ++page) {
            auto* next = control<QPushButton>(windows->boost(), "cmdNext_0");
            if (!next || !next->isEnabled())
                break;
            next->click();
        }
        EXPECT_TRUE(QTest::qWaitFor([&] { return written(1); }, 5000));
        return main;
    }

    bool written(int step)
    {
        const PlanEntry& e = planEntry(step);
        return valueText(e.root, e.keyPath, e.valueName) != "absent";
    }

    // After the program has ended: nothing was asked, the wizard is gone and
    // no further step runs, while the first step's value stays.
    void expectEndedMidRun()
    {
        finishDeletes();
        EXPECT_EQ(programEnds, 1);
        EXPECT_EQ(windows->boost(), nullptr);
        EXPECT_EQ(windows->main(), nullptr);
        EXPECT_TRUE(os.boxes.empty()) << "no \"Setup was not completed.\" notice";
        QTest::qWait(kStepIntervalMs * kPlanSteps * 4);
        EXPECT_TRUE(written(1)) << "written values stay";
        EXPECT_FALSE(written(kPlanSteps - 1)) << "the run stopped between two steps";
    }
};

TEST_F(RunningWizardTest, ExitEndsEverythingAndKeepsWhatWasWritten)
{
    frmMain& main = startRun();
    QTest::mouseClick(control<QPushButton>(&main, "cmdExit"), Qt::LeftButton);
    expectEndedMidRun();
}

TEST_F(RunningWizardTest, ClosingTheMainWindowEndsEverythingToo)
{
    frmMain& main = startRun();
    closeFromTitleBar(main);
    expectEndedMidRun();
}

TEST_F(MainWindowTest, ClosingTheMainWindowByTheProgramDoesNotEndIt)
{
    frmMain& main = windows->showMain();
    main.close();
    finishDeletes();
    EXPECT_EQ(programEnds, 0);
    EXPECT_EQ(windows->main(), nullptr) << "closed means unloaded";
}

TEST_F(MainWindowTest, IAmNiceHidesTheMainWindowUntilTheAboutWindowGoes)
{
    frmMain& main = windows->showMain();
    main.findChild<QAction*>("Nice")->trigger();
    ASSERT_NE(windows->about(), nullptr);
    EXPECT_TRUE(windows->about()->isVisible());
    EXPECT_FALSE(main.isVisible());

    QTest::mouseClick(control<QPushButton>(windows->about(), "cmdOK"), Qt::LeftButton);
    finishDeletes();
    EXPECT_TRUE(main.isVisible());
    EXPECT_EQ(windows->about(), nullptr);

    main.findChild<QAction*>("Nice")->trigger();
    EXPECT_FALSE(main.isVisible());
    closeFromTitleBar(*windows->about());
    finishDeletes();
    EXPECT_TRUE(main.isVisible()) << "the title-bar close brings the main window back too";
    EXPECT_EQ(windows->about(), nullptr);
    EXPECT_EQ(programEnds, 0);
}

}  // namespace
}  // namespace ferro::test
