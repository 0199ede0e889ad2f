// The main window as designed: positions and sizes in twips, colours 0x00BBGGRR.
#include "app/frmMain.h"

#include "info/Branding.h"
#include "platform/OsServices.h"

namespace ferro {
namespace {

constexpr ui::Color kGrey = 0x00808080;
constexpr ui::Color kYellow = 0x0000FFFF;

using ui::ControlKind;

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
        c.push_back(control(ControlKind::MenuItem, name, caption));

    // In tab order, so the focus starts on cmdBoost.
    c.push_back(control(ControlKind::Button, "cmdBoost", "Boost Connection", {120, 240, 1575, 495}));
    c.push_back(control(ControlKind::Button, "cmdRestore", "Restore Registry", {1920, 240, 1455, 495}));
    c.push_back(control(ControlKind::Button, "cmdExit", "Exit", {3600, 240, 495, 495}));
    c.back().toolTip = "Exit program with no changes.";
    for (int i = 0; i < 3; ++i)
        c[c.size() - 3 + static_cast<std::size_t>(i)].tabIndex = i;

    c.push_back(control(ControlKind::Label, "Label1", "", {120, 2280, 3975, 375}));
    c.back().foreColor = kYellow;
    c.back().backColor = kGrey;
    c.push_back(control(ControlKind::Frame, "Frame1", kMakerNotice, {960, 960, 2175, 1095}));
    c.back().foreColor = kYellow;
    c.back().backColor = kGrey;
    c.push_back(control(ControlKind::Picture, "Picture2", "", {480, 240, 1140, 750}));
    c.back().parent = "Frame1";
    c.back().image = "logo.png";
    c.back().autoSize = true;
    c.back().border = false;
    return form;
}

}  // namespace
}  // namespace ferro

const ferro::ui::FormDef& frmMain::Design() { return ferro::ui::designedOnce<ferro::design>(); }
