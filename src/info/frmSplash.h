#pragma once
// The start-up window: product, maker, platform, version and slogan for a few
// seconds, then the main window.
#include "form/Form.h"

namespace ferro {
class WindowHost;
}

class frmSplash : public ferro::ui::Form {
public:
    static const ferro::ui::FormDef& Design();

    explicit frmSplash(ferro::WindowHost& windows);

    void Form_Load() override;

private:
    void Timer1_Timer();
    void Form_KeyPress();
    void Frame1_Click();
    void goOnEarly();

    ferro::WindowHost& windows_;
};
