// The wizard window as designed: positions and sizes in twips, colours 0x00BBGGRR.
#include "wizard/frmBoost.h"

#include "platform/OsServices.h"
#include "tuning/TuningPlan.h"

namespace ferro {
namespace {

using ui::Alignment;
using ui::ControlDef;
using ui::ControlKind;
using ui::FontDef;

constexpr ui::Color kBlue = 0x00FF0000;
constexpr ui::Color kBlack = 0x00000000;
constexpr ui::Color kGreen = 0x0000FF00;
constexpr ui::Color kLightGrey = 0x00E0E0E0;

const FontDef kArial{"Arial", 9.75};
const FontDef kSansSerif{"MS Sans Serif", 8.25};

// A text of a page, in Arial.
ControlDef label(const char* name, int index, const char* caption, ui::Place place)
{
    ControlDef c = control(ControlKind::Label, name, caption, place, index);
    c.font = kArial;
    c.visible = false;  // page controls show on their pages only
    return c;
}

ControlDef button(const char* name, int index, const char* caption, int left, const FontDef& font,
                  int tabIndex)
{
    ControlDef c = control(ControlKind::Button, name, caption, {left, 2460, 1335, 405}, index);
    c.font = font;
    c.visible = false;
    c.tabIndex = tabIndex;
    return c;
}

const char* const kInformation[] = {
    "In order for FerroLink to ensure maximum internet connection, it must edit some settings "
    "in your registry. If you wish to restore your registry at a later point, it  must backup "
    "those settings now.",
    "FerroLink has now backed up your registry settings.",
    "FerroLink will now edit your system's settings and registry for an improved internet "
    "connection.",
    "FerroLink is now optimizing your system's settings and registry to boost your internet "
    "connection.",
    "In order for settings to take effect, you must restart your system.",
};
const char* const kNotes[] = {
    "It is highly recomended that you backup your registry.",
    "Optimization will begin once you click next.",
    "Would you like to restart your system now?",
};

// The texts, answer box and buttons of the wizard's pages, each shown on its page.
void addPageControls(std::vector<ControlDef>& c)
{
    for (int i = 0; i < 5; ++i)
        c.push_back(label("lblInformation", i, kInformation[i], {240, 180, 6135, 990}));
    for (int i = 0; i < 3; ++i) {
        c.push_back(label("lblNote", i, kNotes[i], {240, 1260, 6135, 540}));
        c.back().foreColor = i < 2 ? kBlue : kBlack;
    }
    c.push_back(label("lblBackingUp", 0, "Saving settings to file:", {240, 1260, 6135, 270}));
    // The backup status sits under the file name, with room for a failure
    // reason that names a path.
    c.push_back(label("lblSetting", 0, "...", {240, 1530, 6135, 900}));
    c.push_back(label("lblOptimizing", 0, "Optimizing:", {240, 1260, 1260, 300}));
    c.push_back(label("lblSetting", 1, "...", {1500, 1260, 4875, 300}));
    // Level with the text of the answer box beside it.
    c.push_back(label("lblConfirm", 0, "Backup registry?", {240, 1995, 1800, 300}));

    c.push_back(control(ControlKind::Combo, "cmbConfirm", "", {2100, 1920, 1350, 360}, 0));
    c.back().font = kArial;
    c.back().items = {"YES", "NO"};
    c.back().visible = false;
    c.back().tabIndex = 0;

    c.push_back(button("cmdBack", 0, "Back", 240, kSansSerif, 1));
    c.push_back(button("cmdNext", 0, "Next", 5040, kArial, 2));
    c.push_back(button("cmdRestart", 0, "Restart", 5040, kSansSerif, 3));
    c.push_back(button("cmdRestart", 1, "Restart Later", 3585, kSansSerif, 4));
}

// The speed frame: the slider, its reading and the link to a speed test.
void addSpeedFrame(std::vector<ControlDef>& c)
{
    c.push_back(control(ControlKind::Frame, "Frame1", "Select Connection Speed (Kbps). Use arrow keys for fine tuning",
                        {120, 3030, 6375, 2220}));
    c.back().font = kSansSerif;

    ControlDef slider = control(ControlKind::Slider, "Slider1", "", {180, 360, 6015, 450});
    slider.parent = "Frame1";
    slider.min = 0;
    slider.max = static_cast<int>(kMaxSliderSpeed);
    slider.smallChange = 1;
    slider.largeChange = 50;
    slider.value = static_cast<int>(kDefaultSpeed);
    slider.tabIndex = 5;
    c.push_back(slider);

    ControlDef speed = control(ControlKind::TextBox, "SpdTxt", "", {180, 930, 6015, 360});  // a display only
    speed.parent = "Frame1";
    speed.font = FontDef{"MS Sans Serif", 9.75};
    speed.foreColor = kBlue;
    speed.backColor = kLightGrey;
    speed.readOnly = true;
    c.push_back(speed);

    ControlDef link = control(ControlKind::Label, "Label1", frmBoost::kSpeedTestCaption, {180, 1545, 6015, 525});
    link.parent = "Frame1";
    link.font = FontDef{"MS Sans Serif", 8.25, true, false, true};
    link.foreColor = kBlue;
    link.alignment = Alignment::Center;
    link.cursor = "link";
    c.push_back(link);
}

// The progress bar of the run: one green segment per step.
void addProgressBar(std::vector<ControlDef>& c)
{
    // Evenly spaced segments; the last must end inside the bar.
    constexpr int kBarInside = 6375, kSegmentWidth = 255, kSegmentPitch = 360;
    static_assert(kSegmentPitch * (kProgressSegments - 1) + kSegmentWidth <= kBarInside);

    // kBarInside within its border.
    ControlDef bar = control(ControlKind::Picture, "Picture1", "", {105, 5430, 6405, 405});
    bar.backColor = kLightGrey;
    bar.border = true;
    c.push_back(bar);
    for (int n = 1; n <= kProgressSegments; ++n) {
        ControlDef segment = control(ControlKind::TextBox, "Text" + std::to_string(n), "",
                                     {kSegmentPitch * (n - 1), 0, kSegmentWidth, 375});
        segment.parent = "Picture1";
        segment.backColor = kGreen;
        segment.border = false;
        segment.readOnly = true;
        segment.visible = false;
        c.push_back(segment);
    }
}

ui::FormDef design()
{
    ui::FormDef form;
    form.name = "frmBoost";
    form.caption = kApplicationTitle;
    form.border = ui::BorderStyle::FixedSingle;
    form.clientWidth = 6615;
    form.clientHeight = 6000;
    form.font = {"MS Sans Serif", 9.75};
    std::vector<ControlDef>& c = form.controls;

    addPageControls(c);
    addSpeedFrame(c);
    addProgressBar(c);

    c.push_back(control(ControlKind::Timer, "Timer1"));
    c.back().interval = 3000;
    c.back().enabled = false;
    return form;
}

}  // namespace
}  // namespace ferro

const ferro::ui::FormDef& frmBoost::Design() { return ferro::ui::designedOnce<ferro::design>(); }
