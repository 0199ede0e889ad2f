#pragma once
// What a renderer made of a form definition, as a test reads it back, and the
// check that it made every control as defined. Each renderer's tests supply
// their own reading (the fake here, Qt widgets, Win32 windows).
#include <optional>
#include <string>

#include "form/FormDefinition.h"

namespace ferro::test {

struct RenderedControl {
    // Pixels, relative to the parent control's client area (the form's for "").
    int left = 0, top = 0, width = 0, height = 0;
    std::string fontFace;  // as requested of the system, before any substitution
    double points = 0;
    bool bold = false, underline = false;
    std::optional<ui::Color> foreColor, backColor;  // unset: the system's own
    std::string caption;
    bool visible = false, enabled = false;
};

class RenderedForm {
public:
    virtual ~RenderedForm() = default;
    virtual int clientWidth() const = 0;  // pixels
    virtual int clientHeight() const = 0;
    virtual std::string caption() const = 0;
    virtual std::optional<RenderedControl> control(const std::string& id) const = 0;
};

// Twips to pixels at 96 dots per inch.
constexpr int pixels(int twips) { return (twips + 7) / 15; }

// Every control of `form` exists with its geometry (autoSize controls: the
// edge their alignment names; lines: from their first pixel to their last,
// borderWidth thick), font, colours, caption and initial state.
void expectRenderedAsDefined(const ui::FormDef& form, const RenderedForm& rendered);
// The same without geometry and fonts: captions, colours and initial state
// only, for a reading that cannot see where or how a control is drawn.
void expectStateAsDefined(const ui::FormDef& form, const RenderedForm& rendered);

}  // namespace ferro::test
