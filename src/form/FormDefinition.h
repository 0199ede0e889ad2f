#pragma once
// A window described as data, without a toolkit: what the designer of a form
// would see in its property sheet. Both renderers (Qt and Win32) build their
// windows from these definitions; the windows' behaviour never sees a widget.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ferro::ui {

// 0x00BBGGRR, as the window designs give colours.
using Color = std::uint32_t;

// 1440 twips to the inch; 15 to a pixel at 96 dpi.
constexpr int kTwipsPerInch = 1440;

enum class ControlKind {
    Label,
    Button,
    Frame,     // a group box with a caption
    Slider,    // horizontal track bar
    Combo,     // drop-down combo box with an editable text field
    TextBox,   // single- or multi-line edit
    Picture,   // a container that may show an image and hold other controls
    Image,     // an image only
    MenuItem,  // parent "" is the menu bar
    Timer,     // invisible; ticks every `interval` ms while enabled
    Line,      // a straight line of foreColor from (left, top) to (left + width,
               // top + height), borderWidth pixels thick
};

enum class Alignment { Left, Right, Center };

enum class BorderStyle {
    None,         // no frame and no title bar (the splash)
    FixedSingle,  // fixed size, title bar
    FixedDialog,  // fixed size, dialog frame
    Sizable,
};

enum class StartPosition { Manual, CenterScreen };

struct FontDef {
    std::string face = "MS Sans Serif";
    double points = 8.25;
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

struct ControlDef {
    std::string name;
    int index = -1;  // element of a control array, or -1
    ControlKind kind = ControlKind::Label;
    std::string parent;  // id() of the containing control; "" for the form
    // Position and size in twips, relative to the parent's client area.
    int left = 0, top = 0, width = 0, height = 0;
    std::string caption;  // "&" marks the access key, as in a menu
    std::optional<FontDef> font;  // unset: the form's font
    std::optional<Color> foreColor, backColor;  // unset: the system's colours
    Alignment alignment = Alignment::Left;
    bool visible = true;
    bool enabled = true;
    int tabIndex = -1;  // -1: not a tab stop
    std::string toolTip;

    // Kind-specific properties.
    int min = 0, max = 0, smallChange = 1, largeChange = 1, value = 0;  // Slider
    std::vector<std::string> items;  // Combo list
    std::string image;     // Picture/Image: resource name of the picture
    bool stretch = false;  // Image: scale the picture to the control
    bool multiLine = false, readOnly = false, border = true;  // TextBox
    int interval = 0;  // Timer, ms
    std::string cursor;  // resource name of a custom mouse pointer, or ""
    bool autoSize = false;  // Label/Picture: sized to its text or picture, keeping
                            // the edge its alignment names
    bool isDefault = false, isCancel = false;  // Button: pressed by Enter / Escape
    int borderWidth = 1;  // Line, pixels

    // The control's name in code, tests and accessibility tools:
    // "cmdNext_0" for an array element, "Slider1" otherwise.
    std::string id() const { return index < 0 ? name : name + "_" + std::to_string(index); }
};

// Where a control stands: in twips, relative to its parent's client area.
struct Place {
    int left = 0, top = 0, width = 0, height = 0;
};

// A control as every design starts one: its kind, name, caption and place,
// and its index when it is an element of a control array. The design sets
// the rest on the result.
ControlDef control(ControlKind kind, std::string name, std::string caption = {}, Place place = {},
                   int index = -1);

struct FormDef {
    std::string name;  // "frmBoost"
    std::string caption;
    BorderStyle border = BorderStyle::FixedSingle;
    bool controlBox = true, minButton = false, maxButton = false;
    bool showInTaskbar = true;
    StartPosition startPosition = StartPosition::CenterScreen;
    int clientWidth = 0, clientHeight = 0;  // twips
    FontDef font;
    std::optional<Color> backColor;
    std::string icon;  // resource name, "" for the program's icon
    std::vector<ControlDef> controls;

    const ControlDef* find(const std::string& id) const;
};

// A window's definition, made by its design the first time it is asked for.
template <FormDef (*design)()>
const FormDef& designedOnce()
{
    static const FormDef form = design();
    return form;
}

}  // namespace ferro::ui
