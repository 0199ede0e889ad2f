// The splash window as designed: positions and sizes in twips.
#include "info/frmSplash.h"

#include "info/Branding.h"

namespace ferro {
namespace {

// The texts on the frame, in Arial.
void addLabels(std::vector<ui::ControlDef>& c)
{
    const struct {
        const char* name;
        const char* text;
        double points;
        bool bold;
        bool rightAligned;
        bool autoSize;
        int left, top, width, height;
    } labels[] = {
        {"lblProductName", "FerroWind", 32.25, true, false, true, 2280, 1140, 4620, 765},
        {"lblCompanyProduct", "Hollowmere", 18, true, false, true, 2355, 705, 2250, 435},
        {"lblPlatform", "Windows", 15.75, true, true, true, 5475, 2340, 1380, 360},
        {"lblVersion", "1.1.0", 12, true, true, true, 6330, 2700, 525, 285},
        {"lblCompany", "Hollowmere", 8.25, false, false, false, 4560, 3270, 2415, 255},
        {"lblCopyright", kCopyrightLine, 8.25, false, false, false, 4560, 3060, 2415, 255},
        {"lblWarning", "The absolute BEST internet speed booster...and it's FREE!", 8.25, false,
         false, false, 150, 3960, 6855, 195},
    };
    for (const auto& l : labels) {
        ui::ControlDef label = control(ui::ControlKind::Label, l.name, l.text, {l.left, l.top, l.width, l.height});
        label.parent = "Frame1";
        label.font = ui::FontDef{"Arial", l.points, l.bold};
        label.alignment = l.rightAligned ? ui::Alignment::Right : ui::Alignment::Left;
        label.autoSize = l.autoSize;
        c.push_back(label);
    }
}

ui::FormDef design()
{
    ui::FormDef form;
    form.name = "frmSplash";
    form.border = ui::BorderStyle::FixedDialog;  // without a caption: no title bar
    form.controlBox = false;
    form.showInTaskbar = false;
    form.clientWidth = 7815;
    form.clientHeight = 4605;
    std::vector<ui::ControlDef>& c = form.controls;

    c.push_back(control(ui::ControlKind::Frame, "Frame1", "", {150, 60, 7425, 4395}));
    c.push_back(control(ui::ControlKind::Image, "imgLogo", "", {360, 795, 1815, 2625}));
    c.back().parent = "Frame1";
    c.back().image = "ferrowinder.png";
    c.back().stretch = true;

    addLabels(c);

    c.push_back(control(ui::ControlKind::Timer, "Timer1"));
    c.back().enabled = false;
    return form;
}

}  // namespace
}  // namespace ferro

const ferro::ui::FormDef& frmSplash::Design() { return ferro::ui::designedOnce<ferro::design>(); }
