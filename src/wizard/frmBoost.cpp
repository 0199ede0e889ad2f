#include "wizard/frmBoost.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "form/WindowHost.h"
#include "platform/OsServices.h"
#include "tuning/Backup.h"
#include "tuning/TuningPlan.h"
#include "wizard/RegistryMessages.h"

using namespace ferro;
using ui::Event;

namespace {

const char* const kPageControls[] = {
    "lblInformation_0", "lblInformation_1", "lblInformation_2", "lblInformation_3",
    "lblInformation_4", "lblNote_0",        "lblNote_1",        "lblNote_2",
    "lblConfirm_0",     "cmbConfirm_0",     "lblSetting_0",     "lblSetting_1",
    "lblBackingUp_0",   "lblOptimizing_0",  "cmdRestart_0",     "cmdRestart_1",
};
constexpr ui::Color kGreen = 0x0000FF00;

std::string trimmedUpper(const std::string& text)
{
    const auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
    auto first = std::find_if_not(text.begin(), text.end(), blank);
    auto last = std::find_if_not(text.rbegin(), text.rend(), blank).base();
    std::string result = first < last ? std::string(first, last) : std::string();
    for (char& c : result)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

// The box that tells the user the backup could not be marked as the settings
// from before this boost.
std::string boostNoteFailureText(const BackupResult& result)
{
    return "The backup could not be marked as the settings from before this boost (" + result.failure +
           "). The next backup may replace it, and a restore may not bring those settings back.";
}

}  // namespace

frmBoost::frmBoost(WindowHost& windows)
    : Form(Design()),
      windows_(windows),
      registry_{windows.context().registry, registryMessageSink(windows.context().os, this)}
{
    on("cmdNext_0", Event::Click, [this](int) { cmdNext_Click(0); });
    on("cmdBack_0", Event::Click, [this](int) { cmdBack_Click(0); });
    on("cmdRestart_0", Event::Click, [this](int) { cmdRestart_Click(0); });
    on("cmdRestart_1", Event::Click, [this](int) { cmdRestart_Click(1); });
    on("Slider1", Event::Scroll, [this](int) { Slider1_Scroll(); });
    on("Label1", Event::Click, [this](int) { Label1_Click(); });
    on("Timer1", Event::Timer, [this](int) { Timer1_Timer(); });
    on("", Event::Close, [this](int) { Form_QueryUnload(); });
}

void frmBoost::Form_Load()
{
    CurrentStep = 0;
    Setup_Form();
}

void frmBoost::Form_Unload()
{
    *loaded_ = false;
    runStep_ = 0;
}

void frmBoost::Form_QueryUnload()
{
    // The run stops before the notice, so that no step writes behind it.
    setTimer("Timer1", false, state("Timer1").interval);
    runStep_ = 0;
    windows_.context().os.messageBox(this, "Setup was not completed.", kApplicationTitle,
                                     MsgButtons::Ok, MsgIcon::None);
    windows_.unload(*this);
}

void frmBoost::showAll(std::initializer_list<const char*> ids)
{
    for (const char* id : ids)
        setVisible(id, true);
}

frmBoost::Answer frmBoost::answer() const
{
    // A typed answer counts whatever its case and surrounding blanks.
    const std::string text = trimmedUpper(state("cmbConfirm_0").caption);
    if (text == "YES")
        return Answer::Yes;
    if (text == "NO")
        return Answer::No;
    return Answer::Other;
}

std::uint32_t frmBoost::speedLevel() const
{
    return static_cast<std::uint32_t>(state("Slider1").value);
}

void frmBoost::Clear_Form()
{
    // No events are processed here: a click or a step of the run never lands
    // in the middle of a page change.
    for (const char* id : kPageControls)
        setVisible(id, false);
    setVisible("cmdNext_0", false);
    setEnabled("cmdNext_0", true);
    setCaption("cmdNext_0", "Next");
    setVisible("cmdBack_0", false);
    setEnabled("cmdBack_0", true);
}

void frmBoost::Setup_Form()
{
    Clear_Form();
    switch (CurrentStep) {
    case 0:
        showAll({"lblInformation_0", "lblNote_0", "lblConfirm_0"});
        setCaption("cmbConfirm_0", "YES");
        showAll({"cmbConfirm_0", "cmdNext_0"});
        break;
    case 1:
        switch (answer()) {
        case Answer::Yes:
            showAll({"lblInformation_1", "lblBackingUp_0"});
            setCaption("lblBackingUp_0", definition().find("lblBackingUp_0")->caption + " " + kMarkerFileName);
            showAll({"lblSetting_0", "cmdBack_0", "cmdNext_0"});
            setEnabled("cmdNext_0", false);
            Backup_Settings();
            break;
        case Answer::No:
            CurrentStep = 2;
            Setup_Form();
            break;
        case Answer::Other:
            // Neither YES nor NO: back to the question, as Back would do.
            CurrentStep = 0;
            Setup_Form();
            break;
        }
        break;
    case 2:
        showAll({"lblInformation_2", "lblNote_1", "cmdBack_0", "cmdNext_0"});
        break;
    case 3:
        showAll({"lblInformation_3", "cmdBack_0", "cmdNext_0"});
        setEnabled("cmdNext_0", false);
        showAll({"lblOptimizing_0", "lblSetting_1"});
        Create_Settings();
        break;
    case 4:
        showAll({"lblInformation_4", "lblNote_2", "cmdRestart_0", "cmdRestart_1", "cmdBack_0"});
        break;
    default:
        break;
    }
}

void frmBoost::Backup_Settings()
{
    const AppContext& context = windows_.context();
    BackupResult result;
    if (runArmedOrUnderWay())
        result.failure = kBackupDuringRunText;
    else
        result = writeBackup(context.registry, context.programFolder);
    // "Complete" only when both files are in place; otherwise the user reads
    // why, and may still go on.
    const std::string status = result.ok ? "Complete" : "Failed: " + result.failure;
    setCaption("lblSetting_0", status);
    setToolTip("lblSetting_0", status);  // the whole reason, should it not fit
    setEnabled("cmdNext_0", true);
}

void frmBoost::Create_Settings()
{
    // One run at a time: laying the page out again while a run is under way
    // joins that run rather than starting a second chain beside it.
    if (runStep_ != 0) {
        if (runStep_ > 1)
            lockForRun();
        return;
    }
    runStep_ = 1;
    setTimer("Timer1", true, windows_.context().stepIntervalMs);
}

void frmBoost::lockForRun()
{
    setEnabled("cmdBack_0", false);
    setEnabled("Slider1", false);
}

void frmBoost::Timer1_Timer()
{
    const int step = runStep_;
    if (step == 0)
        return;
    // One step per tick: the next is armed when this one is done, so the
    // interval counts from after any error box of this step.
    setTimer("Timer1", false, state("Timer1").interval);
    if (step == 1)
        lockForRun();
    // Every step, so that a restore between two steps leaves the rest of the
    // run marked too. The mark is held until this step's write is made, so
    // that a restore from another process comes before both or after both.
    BoostMark mark(windows_.context().programFolder);
    if (!mark.result().ok) {
        mark.release();
        if (step == 1)  // the box once a run is enough
            windows_.context().os.messageBox(this, boostNoteFailureText(mark.result()), kApplicationTitle,
                                             MsgButtons::Ok, MsgIcon::Warning);
        if (runStep_ != step)
            return;  // the window was closed while the box was open
    }
    const PlanEntry& entry = planEntry(step);
    // The step's error boxes wait until the mark is let go: nothing may wait
    // for the user while the Backup folder is locked.
    std::vector<Failure> failures;
    const modRegistry::Registry collecting{
        registry_.backend, [&](const Failure& failure) { failures.push_back(failure); }};
    // The speed is read at each step: the slider is its only copy.
    const bool wrote = applyPlanEntry(collecting, entry, speedLevel());
    mark.release();
    for (const Failure& failure : failures)
        registry_.notify(failure);
    if (runStep_ != step)
        return;  // the window was closed while an error box was open
    // The last step shows itself only when it wrote; the others always do.
    if (wrote || step < kPlanSteps) {
        setCaption("lblSetting_1", entry.caption);
        setVisible("Text" + std::to_string(progressSegment(step)), true);
    }
    if (step < kPlanSteps) {
        runStep_ = step + 1;
        setTimer("Timer1", true, windows_.context().stepIntervalMs);
        return;
    }
    runStep_ = 0;
    setBackColor("Picture1", kGreen);
    setCaption("lblSetting_1", "Optimizations Complete");
    setCaption("cmdNext_0", "Finished");
    setEnabled("cmdNext_0", true);
}

void frmBoost::disarmRunNotStarted()
{
    // Nothing was written yet, so the run simply ends; Next arms a new one.
    if (runStep_ == 1) {
        setTimer("Timer1", false, state("Timer1").interval);
        runStep_ = 0;
    }
}

void frmBoost::cmdNext_Click(int /*index*/)
{
    ++CurrentStep;
    Setup_Form();
}

void frmBoost::cmdBack_Click(int /*index*/)
{
    // A run left behind would write while the user is back at the backup question.
    if (CurrentStep == 3)
        disarmRunNotStarted();
    // With "NO" the backup page was skipped on the way in, so Back skips it too.
    if (CurrentStep == 2 && answer() == Answer::No)
        CurrentStep = 0;
    else
        --CurrentStep;
    Setup_Form();
}

void frmBoost::cmdRestart_Click(int index)
{
    OsServices& os = windows_.context().os;
    if (index == 1) {
        windows_.hide(*this);  // stays loaded: showing it again brings back this page
        return;
    }
    if (index != 0)
        return;
    os.messageBox(this,
                  "Make sure you save any open programs.\r\n"
                  "Windows will restart once you click OK.",
                  "Ferrowinder", MsgButtons::Ok, MsgIcon::Information);
    // The answer may come after the window has gone; the box is shown anyway.
    os.requestRestart([&os, this, loaded = std::weak_ptr<bool>(loaded_)] {
        const auto live = loaded.lock();
        os.messageBox(live && *live ? this : nullptr,
                      "The computer could not be restarted. Please restart it yourself.",
                      kApplicationTitle, MsgButtons::Ok, MsgIcon::Warning);
    });
}

void frmBoost::Slider1_Scroll()
{
    const std::uint32_t speed = speedLevel();
    setCaption("Frame1", speedCaption(speed));
    setCaption("SpdTxt", speedDescription(speed));
}

void frmBoost::Label1_Click()
{
    windows_.context().os.openUrl(kSpeedTestUrl);
}
