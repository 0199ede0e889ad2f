#pragma once
// The lifetime of the program's windows, in one place. Each window exists at
// most once; showing one that is not loaded loads it (its load handling
// runs); hiding keeps it with its state; unloading lets it go, so the next
// showing starts afresh. The renderer builds and destroys the real windows.
#include <memory>
#include <string>
#include <vector>

#include "form/Renderer.h"
#include "form/WindowHost.h"

class frmSplash;
class frmMain;
class frmBoost;
class frmAbout;

namespace ferro {

class AppWindows final : public WindowHost {
public:
    AppWindows(AppContext context, ui::Renderer& renderer);
    ~AppWindows();
    AppWindows(const AppWindows&) = delete;
    AppWindows& operator=(const AppWindows&) = delete;

    AppContext& context() override { return context_; }
    ui::Renderer& renderer() { return renderer_; }

    // The loaded windows, or nullptr.
    frmSplash* splash() const { return splash_.form.get(); }
    frmMain* main() const { return main_.form.get(); }
    frmBoost* boost() const { return boost_.form.get(); }
    frmAbout* about() const { return about_.form.get(); }

    // Loads the window when it is not loaded, then shows it and brings it to
    // the front; a window shows centred the first time when its design says so.
    frmSplash& showSplash();
    frmMain& showMain();
    frmBoost& showBoost();
    frmAbout& showAbout();

    // What the windows ask for.
    void show(WindowId window) override;
    ui::Form* mainWindow() const override;
    void hide(ui::Form& window) override;
    // Lets a loaded window go: its timers stop and it disappears at once; the
    // object itself is released once the running handler has returned.
    void unload(ui::Form& window) override;
    // Ends the program at once: every window goes without its close
    // handling, and running timers stop where they are.
    void endNow() override;

private:
    template <class Window>
    struct Slot {
        std::unique_ptr<Window> form;
        std::unique_ptr<ui::FormView> view;
        bool shown = false;  // shown at least once
    };

    template <class Window, class... Args>
    Window& show(Slot<Window>& slot, const ui::Form* owner, Args&&... args);
    template <class Window>
    bool unloadFrom(Slot<Window>& slot, ui::Form& window);
    void releaseLater();

    AppContext context_;
    ui::Renderer& renderer_;
    Slot<frmSplash> splash_;
    Slot<frmMain> main_;
    Slot<frmBoost> boost_;
    Slot<frmAbout> about_;
    // Unloaded windows waiting to be released, and whether a release is posted.
    std::vector<std::pair<std::unique_ptr<ui::Form>, std::unique_ptr<ui::FormView>>> unloaded_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace ferro
