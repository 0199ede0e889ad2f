#pragma once
// One control of a form's Qt window: each kind of control (QtControls.cpp)
// says which widget it is, how it shows the form's state and which of the
// widget's signals are the form's events. The window places the controls
// and mirrors what all widgets share.
#include <QColor>
#include <QFont>
#include <QRect>

#include <memory>

#include "form/Form.h"

class QObject;
class QWidget;

namespace ferro::qt {

// 0x00BBGGRR as a QColor.
QColor qColor(ui::Color bgr);
QFont qFont(const ui::FontDef& def);
// Fills the widget with `colour` behind its contents.
void setBackground(QWidget* widget, const QColor& colour);

// What a control needs of the window it sits in.
struct QtControlHost {
    ui::Form& form;
    QObject* events;   // context of the widgets' connections; filters their mouse events
    QWidget* window;   // the top-level window: its menu bar, the parent of the timers
    bool hasDefault;   // the window has a default button
};

class QtControl {
public:
    // The wrapper for the kind of `def`.
    static std::unique_ptr<QtControl> make(QtControlHost& host, const ui::ControlDef& def);

    QtControl(QtControlHost& host, const ui::ControlDef& def) : host_(host), def_(def) {}
    virtual ~QtControl() = default;
    QtControl(const QtControl&) = delete;
    QtControl& operator=(const QtControl&) = delete;

    const ui::ControlDef& def() const { return def_; }
    // The widget, menu action or timer; nullptr before create().
    QObject* object() const { return object_; }
    // The widget, or nullptr for a menu action or a timer.
    QWidget* widget() const { return widget_; }

    // Makes the widget inside `parent` (or the menu action, or the timer).
    virtual void create(QWidget* parent) = 0;
    // Shows what is particular to the kind in `state`: its text, value, colours.
    virtual void mirror(const ui::ControlState& state) = 0;
    // Where it goes, given its designed rectangle in `parent`'s pixels.
    virtual QRect geometry(const QRect& designed) const { return designed; }
    // Takes the focus with Tab when it has a tab index.
    virtual bool focusable() const { return false; }

protected:
    // Names the widget, gives it its font, focus policy and mouse pointer.
    void adopt(QWidget* widget);
    // The colours of a widget that draws its text on the window's colours.
    void mirrorColours(const ui::ControlState& state);

    QtControlHost& host_;
    const ui::ControlDef& def_;
    QObject* object_ = nullptr;
    QWidget* widget_ = nullptr;
};

}  // namespace ferro::qt
