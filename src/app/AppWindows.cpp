#include "app/AppWindows.h"

#include "app/frmMain.h"
#include "info/frmAbout.h"
#include "info/frmSplash.h"
#include "wizard/frmBoost.h"

namespace ferro {

AppWindows::AppWindows(AppContext context, ui::Renderer& renderer)
    : context_(std::move(context)), renderer_(renderer)
{
}

AppWindows::~AppWindows()
{
    *alive_ = false;
    unloaded_.clear();
    // Owned windows before their owner; each window (which calls into its
    // form) before the form.
    const auto release = [](auto& slot) {
        slot.view.reset();
        slot.form.reset();
    };
    release(about_);
    release(boost_);
    release(splash_);
    release(main_);
}

template <class Window, class... Args>
Window& AppWindows::show(Slot<Window>& slot, const ui::Form* owner, Args&&... args)
{
    if (!slot.form) {
        slot.form = std::make_unique<Window>(std::forward<Args>(args)...);
        slot.view = renderer_.createView(*slot.form, owner);
        slot.shown = false;
        slot.form->Form_Load();
    }
    Window& window = *slot.form;  // the load handling may have unloaded it
    if (slot.view) {
        const bool centre = !slot.shown &&
                            window.definition().startPosition == ui::StartPosition::CenterScreen;
        slot.shown = true;
        slot.view->show(centre);
        // Showing may run input that came as the window mapped, and a key on
        // the splash unloads it.
        if (slot.view)
            slot.view->bringToFront();
    }
    return window;
}

frmSplash& AppWindows::showSplash() { return show(splash_, nullptr, *this); }
frmMain& AppWindows::showMain() { return show(main_, nullptr, *this); }
frmBoost& AppWindows::showBoost() { return show(boost_, nullptr, *this); }
// Owned by the main window, so that it gets no taskbar entry of its own.
frmAbout& AppWindows::showAbout() { return show(about_, main_.form.get(), *this); }

void AppWindows::show(WindowId window)
{
    switch (window) {
    case WindowId::Main: showMain(); break;
    case WindowId::Boost: showBoost(); break;
    case WindowId::About: showAbout(); break;
    }
}

ui::Form* AppWindows::mainWindow() const
{
    return main();
}

void AppWindows::hide(ui::Form& window)
{
    if (window.view())
        window.view()->hide();
}

template <class Window>
bool AppWindows::unloadFrom(Slot<Window>& slot, ui::Form& window)
{
    if (slot.form.get() != &window)
        return false;
    slot.form->Form_Unload();
    // Its timers stop with it, at once.
    for (const ui::ControlDef& control : window.definition().controls)
        if (control.kind == ui::ControlKind::Timer && window.state(control.id()).enabled)
            window.setTimer(control.id(), false, window.state(control.id()).interval);
    if (slot.view)
        slot.view->hide();
    window.attach(nullptr);
    unloaded_.emplace_back(std::move(slot.form), std::move(slot.view));
    slot = {};
    releaseLater();
    return true;
}

void AppWindows::unload(ui::Form& window)
{
    (void)(unloadFrom(about_, window) || unloadFrom(boost_, window) ||
           unloadFrom(splash_, window) || unloadFrom(main_, window));
}

void AppWindows::releaseLater()
{
    if (unloaded_.size() != 1)
        return;  // a release is posted already
    renderer_.post([this, alive = std::weak_ptr<bool>(alive_)] {
        if (const auto live = alive.lock(); live && *live) {
            // Views first: their windows call into the forms.
            auto released = std::move(unloaded_);
            unloaded_.clear();
            for (auto& [form, view] : released)
                view.reset();
        }
    });
}

void AppWindows::endNow()
{
    // Owned windows before their owner; the main window may be the one whose
    // handler is running, and goes once that handler has returned.
    for (ui::Form* window : std::initializer_list<ui::Form*>{about(), boost(), splash(), main()})
        if (window)
            unload(*window);
    renderer_.quit();
}

}  // namespace ferro
