// The main window as designed: positions and sizes in twips, colours 0x00BBGGRR.
#include "app/frmMain.h"

#include "info/Branding.h"
#include "platform/OsServices.h"

namespace ferro {
namespace {

constexpr ui::Color kGrey = 0x00808080;
constexpr ui::Color kYellow = 0x0000FFFF;

ui::ControlDef control(const char* name, ui::ControlKind kind, const std::string& caption,
                       int left, int top, int width, int height)
{
    ui::ControlDef c;
    c.name = name;
    c.kind = kind;
    c.caption = caption;
    c.left = left, c.top = top, c.width = width, c.height = height;
    return c;
}

ui::FormDef design()
{
    ui::FormDef form;
    form.name = "frmMain";
    form.caption = kApplicationTitle;
    form.border = ui::BorderStyle::FixedSingle;
    form.minButton = true;
    form.clientWidth = 4275;
    form.clientHeight = 2880;
    form.backColor = kGrey;
    std::vector<ui::ControlDef>& c = form.controls;

    for (auto [name, caption] : {std::pair{"About", "&About"}, {"Nice", "&I Am Nice"}, {"Help", "&Help"}})
        c.push_back(control(name, ui::ControlKind::MenuItem, caption, 0, 0, 0, 0));

    // In tab order, so the focus starts on cmdBoost.
    c.push_back(control("cmdBoost", ui::ControlKind::Button, "Boost Connection", 120, 240, 1575, 495));
    c.push_back(control("cmdRestore", ui::ControlKind::Button, "Restore Registry", 1920, 240, 1455, 495));
    c.push_back(control("cmdExit", ui::ControlKind::Button, "Exit", 3600, 240, 495, 495));
    c.back().toolTip = "Exit program with no changes.";
    for (int i = 0; i < 3; ++i)
        c[c.size() - 3 + static_cast<std::size_t>(i)].tabIndex = i;

    c.push_back(control("Label1", ui::ControlKind::Label, "", 120, 2280, 3975, 375));
    c.back().foreColor = kYellow;
    c.back().backColor = kGrey;
    c.push_back(control("Frame1", ui::ControlKind::Frame, kMakerNotice, 960, 960, 2175, 1095));
    c.back().foreColor = kYellow;
    c.back().backColor = kGrey;
    c.push_back(control("Picture2", ui::ControlKind::Picture, "", 480, 240, 1140, 750));
    c.back().parent = "Frame1";
    c.back().image = "logo.png";
    c.back().autoSize = true;
    c.back().border = false;
    return form;
}

}  // namespace
}  // namespace ferro

const ferro::ui::FormDef& frmMain::Design()
{
    static const ferro::ui::FormDef form = ferro::design();
    return form;
}
