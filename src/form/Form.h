#pragma once
// A loaded window without a toolkit: its definition, the live state of each
// control, and the events the renderer delivers to the window's handlers.
// The behaviour (frmBoost, frmMain, ...) changes state here; the renderer
// mirrors every change onto its widgets and never decides anything itself.
#include <functional>
#include <map>
#include <string>

#include "form/FormDefinition.h"
#include "platform/DialogOwner.h"

namespace ferro::ui {

// What a control shows and allows right now.
struct ControlState {
    bool visible = true;
    bool enabled = true;
    std::string caption;  // label/button/frame caption; text of a text box or combo
    std::optional<Color> foreColor, backColor;
    int value = 0;     // slider position
    int interval = 0;  // timer period, ms
    std::string toolTip;
    // Selection of a text box, in bytes of `caption` (kept up to date by the renderer).
    int selStart = 0, selLength = 0;
};

enum class Event {
    Click,
    DblClick,
    Change,     // text of a combo/text box edited, or slider value changed by the user
    Scroll,     // slider moved by the user (keys, mouse)
    MouseMove,
    KeyPress,   // a character key on the form
    Timer,      // a tick of an enabled timer control
    Close,      // id "": the user closes the window from its title bar or system
                // menu; the renderer does not close it, the handler decides
};

// The renderer's side of a loaded form. The form calls it; tests use a fake.
class FormView {
public:
    virtual ~FormView() = default;
    // Mirror the control's state now. For a timer this arms it anew (its
    // interval counted from now) while enabled, or stops it; the view then
    // delivers Event::Timer at each tick.
    virtual void controlChanged(const std::string& id) = 0;
    virtual void formCaptionChanged() = 0;
    virtual void show(bool centre) = 0;
    virtual void hide() = 0;
    virtual void bringToFront() = 0;
};

class Form : public DialogOwner {
public:
    explicit Form(const FormDef& def);
    virtual ~Form() = default;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    // The window's load handling, run once it is loaded and its window built,
    // and its unload handling, run as it goes: every window has both, so that
    // one whose name is misspelt overrides nothing and does not compile.
    virtual void Form_Load() {}
    virtual void Form_Unload() {}

    const FormDef& definition() const { return def_; }
    const std::string& caption() const { return caption_; }
    void setCaption(const std::string& caption);

    // State of a control by id(); throws std::out_of_range for an unknown id.
    const ControlState& state(const std::string& id) const;
    bool has(const std::string& id) const { return states_.count(id) != 0; }

    void setVisible(const std::string& id, bool visible);
    void setEnabled(const std::string& id, bool enabled);
    void setCaption(const std::string& id, const std::string& caption);
    void setBackColor(const std::string& id, Color color);
    void setValue(const std::string& id, int value);
    void setToolTip(const std::string& id, const std::string& toolTip);
    // Arms (enabled) or disarms a timer control; the renderer runs the real timer.
    void setTimer(const std::string& id, bool enabled, int intervalMs);

    // From the renderer: the user changed a control's value, text or selection
    // (no event is raised by these; raise one with deliver()).
    void userSetValue(const std::string& id, int value);
    void userSetText(const std::string& id, const std::string& text);
    void userSetSelection(const std::string& id, int start, int length);

    // From the renderer: an event of a control (or of the form, id "").
    // Unhandled events are ignored.
    void deliver(const std::string& id, Event event, int key = 0);

    // The view, set by the renderer when it has built the window.
    void attach(FormView* view) { view_ = view; }
    FormView* view() const { return view_; }

protected:
    using Handler = std::function<void(int key)>;
    // The handler of a control's event (id "": the form's). An id the
    // definition does not have throws std::logic_error: such a handler
    // would never run.
    void on(const std::string& id, Event event, Handler handler);

private:
    void changed(const std::string& id);
    ControlState& mutableState(const std::string& id);

    const FormDef& def_;
    std::string caption_;
    std::map<std::string, ControlState> states_;
    std::map<std::pair<std::string, Event>, Handler> handlers_;
    FormView* view_ = nullptr;
};

// The form that owns a box: the windows pass no other owner to the OS services.
inline const Form* ownerForm(const DialogOwner* owner) { return static_cast<const Form*>(owner); }

}  // namespace ferro::ui
