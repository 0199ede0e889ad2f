// The splash window: what it shows, and how it hands over to the main window.
#include <QLabel>
#include <QTest>
#include <QTimer>

#include "app/AppTestSupport.h"
#include "app/frmMain.h"
#include "info/frmSplash.h"

namespace ferro::test {
namespace {

using SplashTest = AppTest;

TEST_F(SplashTest, ShowsProductMakerPlatformVersionAndSlogan)
{
    frmSplash& splash = windows->showSplash();
    EXPECT_EQ(splash.size(), QSize(521, 307));  // 7815 x 4605 twips
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint) << "no title bar";
    EXPECT_EQ(windows->main(), nullptr) << "the main window is not created yet";

    struct Expected {
        const char* name;
        QString text;
        double points;
        bool bold;
    };
    const Expected labels[] = {
        {"lblProductName", "FerroWind", 32.25, true},
        {"lblCompanyProduct", "Hollowmere", 18, true},
        {"lblPlatform", "Windows", 15.75, true},
        {"lblVersion", "1.1.0", 12, true},
        {"lblCompany", "Hollowmere", 8.25, false},
        {"lblWarning", "The absolute BEST internet speed booster...and it's FREE!", 8.25, false},
    };
    for (const Expected& e : labels) {
        auto* label = control<QLabel>(&splash, e.name);
        EXPECT_EQ(label->text(), e.text) << e.name;
        EXPECT_EQ(label->font().pointSizeF(), e.points) << e.name;
        EXPECT_EQ(label->font().bold(), e.bold) << e.name;
        EXPECT_EQ(label->font().families().value(0), "Arial") << e.name;
    }
    EXPECT_TRUE(control<QLabel>(&splash, "lblCopyright")->text().contains("Hollowmere"));
}

TEST_F(SplashTest, EveryLabelShowsAllOfItsTextInsideThePanel)
{
    frmSplash& splash = windows->showSplash();
    const QWidget* panel = control<QWidget>(&splash, "Frame1");
    for (QLabel* label : panel->findChildren<QLabel*>()) {
        const std::string name = label->objectName().toStdString();
        EXPECT_TRUE(panel->rect().contains(label->geometry())) << name;
        if (!label->text().isEmpty()) {
            const QSize text = label->fontMetrics().size(0, label->text());
            EXPECT_LE(text.width(), label->width()) << name;
        }
    }
    // Right-aligned labels keep the right edge they share.
    const QRect platform = control<QLabel>(&splash, "lblPlatform")->geometry();
    const QRect version = control<QLabel>(&splash, "lblVersion")->geometry();
    EXPECT_EQ(platform.right(), version.right());
}

TEST_F(SplashTest, HandsOverToTheMainWindowAfterItsInterval)
{
    frmSplash& splash = windows->showSplash();
    ASSERT_TRUE(QTest::qWaitFor([&] { return windows->main() != nullptr; }, 5000));
    frmMain* main = windows->main();
    EXPECT_TRUE(main->isVisible());
    EXPECT_FALSE(splash.isVisible());
    EXPECT_EQ(windows->splash(), &splash) << "hidden, but still loaded";
    EXPECT_EQ(control<QLabel>(main, "Label1")->text(), "");

    // The timer does not fire again: a hidden main window stays hidden.
    main->hide();
    QTest::qWait(kSplashIntervalMs * 3);
    EXPECT_FALSE(main->isVisible());
    EXPECT_FALSE(splash.isVisible());
}

TEST_F(SplashTest, AKeyWithACharacterGoesOnAtOnceAndOthersDoNothing)
{
    frmSplash& splash = windows->showSplash();
    for (Qt::Key key : {Qt::Key_Left, Qt::Key_F1, Qt::Key_Shift}) {
        QTest::keyClick(&splash, key);
        EXPECT_EQ(windows->main(), nullptr);
        EXPECT_TRUE(splash.isVisible());
    }
    QTest::keyClick(&splash, Qt::Key_A);
    ASSERT_NE(windows->main(), nullptr);
    EXPECT_TRUE(windows->main()->isVisible());
    finishDeletes();
    EXPECT_EQ(windows->splash(), nullptr) << "the splash is unloaded, its timer with it";
}

TEST_F(SplashTest, AClickOnThePanelGoesOnButAClickOnALabelOrTheLogoDoesNot)
{
    frmSplash& splash = windows->showSplash();
    QWidget* panel = control<QWidget>(&splash, "Frame1");
    for (const char* name : {"lblProductName", "lblWarning", "imgLogo"}) {
        QTest::mouseClick(control<QWidget>(&splash, name), Qt::LeftButton);
        EXPECT_EQ(windows->main(), nullptr) << name;
    }
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(panel->width() - 8, 8));
    ASSERT_NE(windows->main(), nullptr);
    EXPECT_TRUE(windows->main()->isVisible());
    finishDeletes();
    EXPECT_EQ(windows->splash(), nullptr);
}

}  // namespace
}  // namespace ferro::test
