#pragma once
// The main window: the hub that starts the wizard, the restore and the About
// window, and whose Exit or title-bar close ends the whole program.
#include "form/Form.h"

namespace ferro {
class WindowHost;
}

class frmMain : public ferro::ui::Form {
public:
    static const ferro::ui::FormDef& Design();

    explicit frmMain(ferro::WindowHost& windows);

private:
    void Form_QueryUnload();
    void cmdBoost_Click();
    void cmdRestore_Click();
    void cmdExit_Click();
    void cmdBoost_MouseMove();
    void cmdRestore_MouseMove();
    void cmdExit_MouseMove();
    void About_Click();
    void Nice_Click();
    void Help_Click();

    ferro::WindowHost& windows_;
};
