#pragma once
// What a window may ask of the program that holds all the windows: what they
// share, and the showing, hiding and ending of windows. The application
// implements it, so that no window knows another window's class.
#include <string>

namespace ferro {

class OsServices;
class RegistryBackend;

namespace ui {
class Form;
}

// What the windows share: the OS services, the registry, the folder of the
// backup and the timings. Tests pass fakes and short intervals.
struct AppContext {
    OsServices& os;
    RegistryBackend& registry;
    std::string programFolder;
    int stepIntervalMs = 3000;    // between two steps of the wizard's run
    int splashIntervalMs = 3000;  // the splash's display time
};

// The windows another window may bring up.
enum class WindowId { Main, Boost, About };

class WindowHost {
public:
    virtual AppContext& context() = 0;
    // Loads the window when it is not loaded, then shows it in front.
    virtual void show(WindowId window) = 0;
    // The main window when it is loaded, else nullptr.
    virtual ui::Form* mainWindow() const = 0;
    virtual void hide(ui::Form& window) = 0;
    // Lets a loaded window go; it is released once the running handler returns.
    virtual void unload(ui::Form& window) = 0;
    // Ends the program at once, without the windows' close handling.
    virtual void endNow() = 0;

protected:
    ~WindowHost() = default;
};

}  // namespace ferro
