#pragma once
// The lifetime of the program's windows, in one place. Each window exists at
// most once; showing one that is not loaded creates it (its load handling
// runs); hiding keeps it with its state; closing destroys it, so the next
// showing starts afresh.
#include <QPointer>

#include "app/AppContext.h"

class frmMain;
class frmSplash;
class frmBoost;
class frmAbout;

namespace ferro {

class AppWindows {
public:
    explicit AppWindows(AppContext context);
    ~AppWindows();
    AppWindows(const AppWindows&) = delete;
    AppWindows& operator=(const AppWindows&) = delete;

    AppContext& context() { return context_; }

    // The loaded windows, or nullptr.
    frmSplash* splash() const;
    frmMain* main() const;
    frmBoost* boost() const;
    frmAbout* about() const;

    frmSplash& showSplash();
    frmMain& showMain();  // centred when it is first shown
    frmBoost& showBoost();  // brought to the front when it is open
    frmAbout& showAbout();

    // Ends the program at once: every window goes without its close handling,
    // and running timers stop where they are.
    void endNow();

private:
    // Creates the window when it is not loaded; closing it destroys it.
    template <class Window, class... Args>
    Window& load(QPointer<Window>& slot, Args&&... args);

    AppContext context_;
    QPointer<frmSplash> splash_;
    QPointer<frmMain> main_;
    QPointer<frmBoost> boost_;
    QPointer<frmAbout> about_;
};

}  // namespace ferro
