#include "app/AppWindows.h"

#include <QApplication>

#include "app/ClassicLook.h"
#include "app/frmMain.h"
#include "info/frmAbout.h"
#include "info/frmSplash.h"
#include "wizard/frmBoost.h"

namespace ferro {

AppWindows::AppWindows(AppContext context) : context_(std::move(context))
{
    QApplication::setWindowIcon(applicationIcon());
}

AppWindows::~AppWindows()
{
    delete about_;
    delete boost_;
    delete splash_;
    delete main_;
}

frmSplash* AppWindows::splash() const { return splash_; }
frmMain* AppWindows::main() const { return main_; }
frmBoost* AppWindows::boost() const { return boost_; }
frmAbout* AppWindows::about() const { return about_; }

template <class Window, class... Args>
Window& AppWindows::load(QPointer<Window>& slot, Args&&... args)
{
    if (!slot) {
        slot = new Window(std::forward<Args>(args)...);
        slot->setAttribute(Qt::WA_DeleteOnClose);
    }
    return *slot;
}

frmSplash& AppWindows::showSplash()
{
    frmSplash& window = load(splash_, *this);
    centreOnScreen(window);
    window.show();
    window.activateWindow();
    return window;
}

frmMain& AppWindows::showMain()
{
    const bool firstShowing = !main_;
    frmMain& window = load(main_, *this);
    if (firstShowing) {
        window.adjustSize();
        centreOnScreen(window);
    }
    window.show();
    window.raise();
    window.activateWindow();
    return window;
}

frmBoost& AppWindows::showBoost()
{
    frmBoost& window = load(boost_, context_.os, context_.registry, context_.programFolder,
                            context_.stepIntervalMs);
    window.show();
    window.raise();
    window.activateWindow();
    return window;
}

frmAbout& AppWindows::showAbout()
{
    // Owned by the main window, so that it gets no taskbar entry of its own.
    frmAbout& window = load(about_, *this, main_.data());
    window.show();
    window.raise();
    window.activateWindow();
    return window;
}

void AppWindows::endNow()
{
    // Gone at once without their close handling (so no wizard notice), and
    // their timers with them: a run stops between two steps.
    delete about_;
    if (boost_) {
        boost_->closeSilently();
        delete boost_;
    }
    delete splash_;
    // The main window may be the one whose handler is running: it goes as
    // soon as that handler returns.
    if (main_) {
        main_->hide();
        main_->deleteLater();
    }
    context_.endProgram();
}

}  // namespace ferro
