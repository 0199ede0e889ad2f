// The splash window: what it shows, and how it hands over to the main window.
#include "app/frmMain.h"
#include "info/frmSplash.h"
#include "ui/WindowTest.h"

namespace ferro::test {
namespace {

using SplashTest = WindowTest;

TEST_F(SplashTest, ShowsProductMakerPlatformVersionAndSloganUntilItsTimerTicks)
{
    frmSplash& splash = windows->showSplash();
    EXPECT_EQ(windows->main(), nullptr) << "the main window is not created yet";
    const struct {
        const char* id;
        const char* text;
    } labels[] = {
        {"lblProductName", "FerroWind"},
        {"lblCompanyProduct", "Hollowmere"},
        {"lblPlatform", "Windows"},
        {"lblVersion", "1.1.0"},
        {"lblCompany", "Hollowmere"},
        {"lblCopyright", "Copyright \u00A9 2004 Hollowmere"},
        {"lblWarning", "The absolute BEST internet speed booster...and it's FREE!"},
    };
    for (const auto& l : labels)
        EXPECT_EQ(text(splash, l.id), l.text) << l.id;
    EXPECT_TRUE(armed(splash, "Timer1"));
    EXPECT_EQ(state(splash, "Timer1").interval, 3000);
}

TEST_F(SplashTest, HandsOverToTheMainWindowOnItsTickAndStaysLoadedButHidden)
{
    frmSplash& splash = windows->showSplash();
    fire(splash, "Timer1");
    ASSERT_NE(windows->main(), nullptr);
    EXPECT_TRUE(shown(windows->main()));
    EXPECT_EQ(text(*windows->main(), "Label1"), "");
    EXPECT_FALSE(shown(&splash));
    EXPECT_EQ(windows->splash(), &splash) << "hidden, but still loaded";
    EXPECT_FALSE(armed(splash, "Timer1")) << "it does not tick a second time";
}

TEST_F(SplashTest, AKeyAClickOnThePanelOrAClosingGoesOnAtOnceAndUnloadsIt)
{
    const std::function<void(frmSplash&)> early[] = {
        [this](frmSplash& s) { pressKey(s, 'a'); },
        [this](frmSplash& s) { click(s, "Frame1"); },
        [](frmSplash& s) { closeFromTitleBar(s); },
    };
    for (const auto& goOn : early) {
        frmSplash& splash = windows->showSplash();
        goOn(splash);
        ASSERT_NE(windows->main(), nullptr);
        EXPECT_TRUE(shown(windows->main()));
        EXPECT_EQ(windows->splash(), nullptr) << "unloaded, its timer with it";
        EXPECT_FALSE(splash.state("Timer1").enabled);
        windows->unload(*windows->main());
        finishEvents();
        EXPECT_EQ(renderer.liveViews(), 0);
    }
}

TEST_F(SplashTest, AKeyPressedWhileItFirstShowsGoesOnToTheMainWindow)
{
    bool pressed = false;
    renderer.duringShow = [&](ui::Form& form) {
        if (!pressed && &form == windows->splash()) {
            pressed = true;
            pressKey(*windows->splash(), 'a');
        }
    };
    windows->showSplash();
    EXPECT_EQ(windows->splash(), nullptr);
    ASSERT_NE(windows->main(), nullptr);
    EXPECT_TRUE(shown(windows->main()));
}

}  // namespace
}  // namespace ferro::test
