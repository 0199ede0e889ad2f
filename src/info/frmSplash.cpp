#include "info/frmSplash.h"

#include "form/WindowHost.h"

using namespace ferro;
using ui::Event;

frmSplash::frmSplash(WindowHost& windows) : Form(Design()), windows_(windows)
{
    on("Timer1", Event::Timer, [this](int) { Timer1_Timer(); });
    // Only keys that produce a character arrive here.
    on("", Event::KeyPress, [this](int) { Form_KeyPress(); });
    // A click on the panel itself; clicks on its labels and logo are theirs.
    on("Frame1", Event::Click, [this](int) { Frame1_Click(); });
    on("", Event::Close, [this](int) { goOnEarly(); });
}

void frmSplash::Form_Load()
{
    setTimer("Timer1", true, windows_.context().splashIntervalMs);
}

void frmSplash::Timer1_Timer()
{
    windows_.show(WindowId::Main);
    windows_.hide(*this);
    setTimer("Timer1", false, state("Timer1").interval);
}

void frmSplash::Form_KeyPress()
{
    goOnEarly();
}

void frmSplash::Frame1_Click()
{
    goOnEarly();
}

void frmSplash::goOnEarly()
{
    // Goes on to the main window as the timer would, so that the program is
    // never left without a window.
    windows_.show(WindowId::Main);
    windows_.unload(*this);
}
