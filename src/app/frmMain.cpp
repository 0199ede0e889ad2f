#include "app/frmMain.h"

#include "app/RestoreMessages.h"
#include "form/WindowHost.h"
#include "info/Branding.h"
#include "platform/OsServices.h"
#include "tuning/Backup.h"

using namespace ferro;
using ui::Event;

namespace {

const char* const kProductDescription =
    "FerroWinder works by editing your system's registry,\r\n"
    "and settings to the most efficient configuration for your computer,\r\n"
    "and internet connection. Works for Dial-up/DSL/Cable/Satellite.\r\n"
    "You will notice a dramatic difference, guaranteed! And it's free!";

std::string helpText()
{
    return std::string("           Everything in this program, one should find\r\n"
                       "      self-explanatory. If you have any specific questions\r\n"
                       "or concerns, E-Mail me for support: ") +
           kSupportEmail;
}

}  // namespace

frmMain::frmMain(WindowHost& windows) : Form(Design()), windows_(windows)
{
    on("cmdBoost", Event::Click, [this](int) { cmdBoost_Click(); });
    on("cmdRestore", Event::Click, [this](int) { cmdRestore_Click(); });
    on("cmdExit", Event::Click, [this](int) { cmdExit_Click(); });
    on("cmdBoost", Event::MouseMove, [this](int) { cmdBoost_MouseMove(); });
    on("cmdRestore", Event::MouseMove, [this](int) { cmdRestore_MouseMove(); });
    on("cmdExit", Event::MouseMove, [this](int) { cmdExit_MouseMove(); });
    on("About", Event::Click, [this](int) { About_Click(); });
    on("Nice", Event::Click, [this](int) { Nice_Click(); });
    on("Help", Event::Click, [this](int) { Help_Click(); });
    on("", Event::Close, [this](int) { Form_QueryUnload(); });
}

void frmMain::Form_QueryUnload()
{
    // Closed by the user from the title bar: the whole program ends.
    windows_.endNow();
}

void frmMain::cmdBoost_Click()
{
    windows_.show(WindowId::Boost);
    windows_.context().os.beep();
}

void frmMain::cmdRestore_Click()
{
    OsServices& os = windows_.context().os;
    const MsgAnswer answer =
        os.messageBox(this, "Are you sure you want to restore your registry to previous settings?",
                      kApplicationTitle, MsgButtons::YesNo, MsgIcon::None, MsgAnswer::Yes);
    if (answer != MsgAnswer::Yes)
        return;
    const AppContext& context = windows_.context();
    const RestoreResult result = restoreRegistry(context.registry, context.programFolder);
    if (result.ok())
        os.messageBox(this, "Your registry has been restored.", "Success", MsgButtons::Ok,
                      MsgIcon::Information);
    else
        os.messageBox(this, restoreFailureText(result), kApplicationTitle, MsgButtons::Ok,
                      MsgIcon::Warning);
}

void frmMain::cmdExit_Click()
{
    windows_.endNow();
}

void frmMain::cmdBoost_MouseMove()
{
    setCaption("Label1", "Proceed to next step (no changes yet).");
}

void frmMain::cmdRestore_MouseMove()
{
    setCaption("Label1", "Restore registry from backup (if one was made).");
}

void frmMain::cmdExit_MouseMove()
{
    setCaption("Label1", "Exit program without any changes to your system.");
}

void frmMain::About_Click()
{
    windows_.context().os.messageBox(this, kProductDescription, kApplicationTitle, MsgButtons::Ok,
                                     MsgIcon::None);
}

void frmMain::Nice_Click()
{
    windows_.show(WindowId::About);
    windows_.hide(*this);
}

void frmMain::Help_Click()
{
    windows_.context().os.messageBox(this, helpText(), kApplicationTitle, MsgButtons::Ok,
                                     MsgIcon::Information);
}
