#pragma once
// The wizard as the main window opens it, on a registry in memory and a
// folder of its own, driven through its controls as a user would.
#include <string>
#include <vector>

#include "ui/WindowTest.h"
#include "wizard/frmBoost.h"

namespace ferro::test {

using Page = std::vector<std::string>;

class WizardTest : public WindowTest {
protected:
    frmBoost* wizard = nullptr;

    // A freshly loaded wizard (an open one is unloaded first).
    frmBoost& open()
    {
        if (windows->boost()) {
            windows->unload(*windows->boost());
            finishEvents();
        }
        wizard = &windows->showBoost();
        return *wizard;
    }

    void click(const std::string& id) { WindowTest::click(*wizard, id); }
    std::string text(const std::string& id) const { return WindowTest::text(*wizard, id); }
    bool seen(const std::string& id) const { return WindowTest::seen(*wizard, id); }
    bool usable(const std::string& id) const { return WindowTest::usable(*wizard, id); }
    void answer(const std::string& typed) { type(*wizard, "cmbConfirm_0", typed); }
    int speed() const { return state(*wizard, "Slider1").value; }

    // The page controls the user can see, in a fixed order.
    Page shownPage() const
    {
        Page shown;
        for (const char* id : {"lblInformation_0", "lblInformation_1", "lblInformation_2",
                               "lblInformation_3", "lblInformation_4", "lblNote_0", "lblNote_1",
                               "lblNote_2", "lblConfirm_0", "cmbConfirm_0", "lblBackingUp_0",
                               "lblSetting_0", "lblOptimizing_0", "lblSetting_1", "cmdBack_0",
                               "cmdNext_0", "cmdRestart_0", "cmdRestart_1"})
            if (seen(id))
                shown.push_back(id);
        return shown;
    }

    int shownSegments() const
    {
        int shown = 0;
        for (int i = 1; i <= 18; ++i)
            shown += seen("Text" + std::to_string(i)) ? 1 : 0;
        return shown;
    }

    bool stepArmed() const { return armed(*wizard, "Timer1"); }
    // Runs the armed step at once, as if its interval had passed.
    void fireStep() { fire(*wizard, "Timer1"); }
    void fireRun()
    {
        for (int i = 0; i < 19 && !::testing::Test::HasFatalFailure(); ++i)
            fireStep();
    }

    void goToRunPage(bool backup = false)
    {
        answer(backup ? "YES" : "NO");
        click("cmdNext_0");
        if (backup)
            click("cmdNext_0");
        click("cmdNext_0");
    }
};

}  // namespace ferro::test
