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

ControlDef label(const char* name, int index, const char* caption, int left, int top, int width,
                 int height)
{
    ControlDef c;
    c.name = name;
    c.index = index;
    c.kind = ControlKind::Label;
    c.caption = caption;
    c.left = left, c.top = top, c.width = width, c.height = height;
    c.font = kArial;
    c.visible = false;  // page controls show on their pages only
    return c;
}

ControlDef button(const char* name, int index, const char* caption, int left, const FontDef& font,
                  int tabIndex)
{
    ControlDef c;
    c.name = name;
    c.index = index;
    c.kind = ControlKind::Button;
    c.caption = caption;
    c.left = left, c.top = 2460, c.width = 1335, c.height = 405;
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
        c.push_back(label("lblInformation", i, kInformation[i], 240, 180, 6135, 990));
    for (int i = 0; i < 3; ++i) {
        c.push_back(label("lblNote", i, kNotes[i], 240, 1260, 6135, 540));
        c.back().foreColor = i < 2 ? kBlue : kBlack;
    }
    c.push_back(label("lblBackingUp", 0, "Saving settings to file:", 240, 1260, 6135, 270));
    // The backup status sits under the file name, with room for a failure
    // reason that names a path.
    c.push_back(label("lblSetting", 0, "...", 240, 1530, 6135, 900));
    c.push_back(label("lblOptimizing", 0, "Optimizing:", 240, 1260, 1260, 300));
    c.push_back(label("lblSetting", 1, "...", 1500, 1260, 4875, 300));
    // Level with the text of the answer box beside it.
    c.push_back(label("lblConfirm", 0, "Backup registry?", 240, 1995, 1800, 300));

    ControlDef combo;
    combo.name = "cmbConfirm";
    combo.index = 0;
    combo.kind = ControlKind::Combo;
    combo.left = 2100, combo.top = 1920, combo.width = 1350, combo.height = 360;
    combo.font = kArial;
    combo.items = {"YES", "NO"};
    combo.visible = false;
    combo.tabIndex = 0;
    c.push_back(combo);

    c.push_back(button("cmdBack", 0, "Back", 240, kSansSerif, 1));
    c.push_back(button("cmdNext", 0, "Next", 5040, kArial, 2));
    c.push_back(button("cmdRestart", 0, "Restart", 5040, kSansSerif, 3));
    c.push_back(button("cmdRestart", 1, "Restart Later", 3585, kSansSerif, 4));
}

// The speed frame: the slider, its reading and the link to a speed test.
void addSpeedFrame(std::vector<ControlDef>& c)
{
    ControlDef frame;
    frame.name = "Frame1";
    frame.kind = ControlKind::Frame;
    frame.caption = "Select Connection Speed (Kbps). Use arrow keys for fine tuning";
    frame.left = 120, frame.top = 3030, frame.width = 6375, frame.height = 2220;
    frame.font = kSansSerif;
    c.push_back(frame);

    ControlDef slider;
    slider.name = "Slider1";
    slider.kind = ControlKind::Slider;
    slider.parent = "Frame1";
    slider.left = 180, slider.top = 360, slider.width = 6015, slider.height = 450;
    slider.min = 0;
    slider.max = static_cast<int>(kMaxSliderSpeed);
    slider.smallChange = 1;
    slider.largeChange = 50;
    slider.value = static_cast<int>(kDefaultSpeed);
    slider.tabIndex = 5;
    c.push_back(slider);

    ControlDef speed;  // a display only
    speed.name = "SpdTxt";
    speed.kind = ControlKind::TextBox;
    speed.parent = "Frame1";
    speed.left = 180, speed.top = 930, speed.width = 6015, speed.height = 360;
    speed.font = FontDef{"MS Sans Serif", 9.75};
    speed.foreColor = kBlue;
    speed.backColor = kLightGrey;
    speed.readOnly = true;
    c.push_back(speed);

    ControlDef link;
    link.name = "Label1";
    link.kind = ControlKind::Label;
    link.parent = "Frame1";
    link.caption = frmBoost::kSpeedTestCaption;
    link.left = 180, link.top = 1545, link.width = 6015, link.height = 525;
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

    ControlDef bar;
    bar.name = "Picture1";
    bar.kind = ControlKind::Picture;
    bar.left = 105, bar.top = 5430, bar.width = 6405, bar.height = 405;  // kBarInside within its border
    bar.backColor = kLightGrey;
    bar.border = true;
    c.push_back(bar);
    for (int n = 1; n <= kProgressSegments; ++n) {
        ControlDef segment;
        segment.name = "Text" + std::to_string(n);
        segment.kind = ControlKind::TextBox;
        segment.parent = "Picture1";
        segment.left = kSegmentPitch * (n - 1), segment.top = 0, segment.width = kSegmentWidth, segment.height = 375;
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

    ControlDef timer;
    timer.name = "Timer1";
    timer.kind = ControlKind::Timer;
    timer.interval = 3000;
    timer.enabled = false;
    c.push_back(timer);
    return form;
}

}  // namespace
}  // namespace ferro

const ferro::ui::FormDef& frmBoost::Design()
{
    static const ferro::ui::FormDef form = ferro::design();
    return form;
}
