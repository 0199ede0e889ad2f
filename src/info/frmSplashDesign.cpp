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
        ui::ControlDef label;
        label.name = l.name;
        label.kind = ui::ControlKind::Label;
        label.parent = "Frame1";
        label.caption = l.text;
        label.font = ui::FontDef{"Arial", l.points, l.bold};
        label.alignment = l.rightAligned ? ui::Alignment::Right : ui::Alignment::Left;
        label.autoSize = l.autoSize;
        label.left = l.left, label.top = l.top, label.width = l.width, label.height = l.height;
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

    ui::ControlDef frame;
    frame.name = "Frame1";
    frame.kind = ui::ControlKind::Frame;
    frame.left = 150, frame.top = 60, frame.width = 7425, frame.height = 4395;
    c.push_back(frame);

    ui::ControlDef logo;
    logo.name = "imgLogo";
    logo.kind = ui::ControlKind::Image;
    logo.parent = "Frame1";
    logo.left = 360, logo.top = 795, logo.width = 1815, logo.height = 2625;
    logo.image = "ferrowinder.png";
    logo.stretch = true;
    c.push_back(logo);

    addLabels(c);

    ui::ControlDef timer;
    timer.name = "Timer1";
    timer.kind = ui::ControlKind::Timer;
    timer.enabled = false;
    c.push_back(timer);
    return form;
}

}  // namespace
}  // namespace ferro

const ferro::ui::FormDef& frmSplash::Design()
{
    static const ferro::ui::FormDef form = ferro::design();
    return form;
}
