#pragma once
// The toolkit's side of the window lifetime: it builds a window for a loaded
// form, runs deferred work from its event loop and ends that loop. The Qt
// and Win32 front ends implement it; tests use a fake.
#include <functional>
#include <memory>

#include "form/Form.h"

namespace ferro::ui {

class Renderer {
public:
    virtual ~Renderer() = default;

    // Builds the (hidden) window of a freshly loaded form with every control
    // of its definition in the form's current state, and attaches itself as
    // the form's view. `owner` is the window that owns this one (no taskbar
    // entry of its own), or nullptr. The window is destroyed with the view.
    virtual std::unique_ptr<FormView> createView(Form& form, const Form* owner) = 0;

    // Runs `task` from the event loop once the event being handled is done
    // (an unloaded window is released then, never inside its own handler).
    virtual void post(std::function<void()> task) = 0;

    // Ends the event loop, and with it the program.
    virtual void quit() = 0;
};

}  // namespace ferro::ui
