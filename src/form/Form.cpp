#include "form/Form.h"

#include <stdexcept>

namespace ferro::ui {

ControlDef control(ControlKind kind, std::string name, std::string caption, Place place, int index)
{
    ControlDef c;
    c.name = std::move(name);
    c.index = index;
    c.kind = kind;
    c.caption = std::move(caption);
    c.left = place.left, c.top = place.top, c.width = place.width, c.height = place.height;
    return c;
}

const ControlDef* FormDef::find(const std::string& id) const
{
    for (const ControlDef& control : controls)
        if (control.id() == id)
            return &control;
    return nullptr;
}

Form::Form(const FormDef& def) : def_(def), caption_(def.caption)
{
    for (const ControlDef& control : def.controls) {
        ControlState state;
        state.visible = control.visible;
        state.enabled = control.enabled;
        state.caption = control.caption;
        state.foreColor = control.foreColor;
        state.backColor = control.backColor;
        state.value = control.value;
        state.interval = control.interval;
        state.toolTip = control.toolTip;
        if (!states_.emplace(control.id(), state).second)
            throw std::logic_error(def.name + ": two controls named " + control.id());
    }
}

void Form::setCaption(const std::string& caption)
{
    caption_ = caption;
    if (view_)
        view_->formCaptionChanged();
}

const ControlState& Form::state(const std::string& id) const { return states_.at(id); }

ControlState& Form::mutableState(const std::string& id) { return states_.at(id); }

void Form::changed(const std::string& id)
{
    if (view_)
        view_->controlChanged(id);
}

void Form::setVisible(const std::string& id, bool visible)
{
    mutableState(id).visible = visible;
    changed(id);
}

void Form::setEnabled(const std::string& id, bool enabled)
{
    mutableState(id).enabled = enabled;
    changed(id);
}

void Form::setCaption(const std::string& id, const std::string& caption)
{
    ControlState& state = mutableState(id);
    state.caption = caption;
    state.selStart = state.selLength = 0;
    changed(id);
}

void Form::setBackColor(const std::string& id, Color color)
{
    mutableState(id).backColor = color;
    changed(id);
}

void Form::setValue(const std::string& id, int value)
{
    mutableState(id).value = value;
    changed(id);
}

void Form::setToolTip(const std::string& id, const std::string& toolTip)
{
    mutableState(id).toolTip = toolTip;
    changed(id);
}

void Form::setTimer(const std::string& id, bool enabled, int intervalMs)
{
    ControlState& state = mutableState(id);
    state.enabled = enabled;
    state.interval = intervalMs;
    changed(id);
}

void Form::userSetValue(const std::string& id, int value) { mutableState(id).value = value; }

void Form::userSetText(const std::string& id, const std::string& text)
{
    ControlState& state = mutableState(id);
    state.caption = text;
    state.selStart = state.selLength = 0;
}

void Form::userSetSelection(const std::string& id, int start, int length)
{
    ControlState& state = mutableState(id);
    state.selStart = start;
    state.selLength = length;
}

void Form::on(const std::string& id, Event event, Handler handler)
{
    if (!id.empty() && !has(id))
        throw std::logic_error(def_.name + ": a handler for " + id + ", which is no control of it");
    handlers_[{id, event}] = std::move(handler);
}

void Form::deliver(const std::string& id, Event event, int key)
{
    const auto found = handlers_.find({id, event});
    if (found == handlers_.end())
        return;
    // A copy: the handler may unload the form (and with it this map).
    const Handler handler = found->second;
    handler(key);
}

}  // namespace ferro::ui
