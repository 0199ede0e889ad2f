// The About window as designed: positions and sizes in twips, colours 0x00BBGGRR.
#include "info/frmAbout.h"

#include "info/Branding.h"

namespace ferro {
namespace {

std::string donationAddress()
{
    std::string text;
    for (const char* line : kDonationAddressLines) {
        if (!text.empty())
            text += '\n';
        text += line;
    }
    return text;
}

ui::FormDef design()
{
    using ui::ControlKind;
    ui::FormDef form;
    form.name = "frmAbout";
    form.caption = "About FerroWind";
    form.border = ui::BorderStyle::FixedDialog;
    form.showInTaskbar = false;
    form.clientWidth = 5730;
    form.clientHeight = 3555;
    std::vector<ui::ControlDef>& c = form.controls;

    // The 32 x 32 icon, sized to its picture.
    c.push_back(control(ControlKind::Picture, "picIcon", "", {240, 240, 480, 480}));
    c.back().tabIndex = 1;
    c.back().image = "ferrowinder.png";
    c.back().autoSize = true;
    c.back().border = false;
    c.push_back(control(ControlKind::Label, "lblTitle",
                        "You nice people who realize that programming takes a great deal of time "
                        "and effort, and wish to send a small/large donation in appreciation of "
                        "boosted internet speed may send said donation, or even a post card to:",
                        {1050, 240, 4245, 840}));
    c.back().tabIndex = 3;
    c.back().foreColor = 0x00000000;
    // Lines end in "\n"; the text can be selected, to print a part of it.
    c.push_back(control(ControlKind::TextBox, "RichTextBox1", donationAddress(), {2040, 1200, 1575, 1095}));
    c.back().tabIndex = 5;
    c.back().font = ui::FontDef{"MS Sans Serif", 8.5};
    c.back().multiLine = true;
    c.back().readOnly = true;
    // An etched separator above the buttons: a grey line over a white one.
    c.push_back(control(ControlKind::Line, "Line1", "", {90, 2445, 5564, 0}, 1));
    c.back().foreColor = 0x00808080;
    c.push_back(control(ControlKind::Line, "Line1", "", {105, 2460, 5549, 0}, 0));
    c.back().foreColor = 0x00FFFFFF;
    c.back().borderWidth = 2;
    c.push_back(control(ControlKind::Button, "cmdOK", "OK", {240, 2760, 1380, 345}));
    c.back().tabIndex = 0;
    c.back().isDefault = true;
    c.back().isCancel = true;
    c.push_back(control(ControlKind::Button, "cmdSysInfo", "&System Info...", {2280, 2760, 1365, 345}));
    c.back().tabIndex = 2;
    c.push_back(control(ControlKind::Button, "Command1", "Print Address", {4200, 2760, 1215, 375}));
    c.back().tabIndex = 4;
    return form;
}

}  // namespace
}  // namespace ferro

const ferro::ui::FormDef& frmAbout::Design() { return ferro::ui::designedOnce<ferro::design>(); }
