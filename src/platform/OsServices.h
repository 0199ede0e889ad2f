#pragma once
// Everything a window needs from the operating system, without toolkit types
// (text is UTF-8). Each renderer has a real implementation; tests use a
// recording fake that also answers the modal boxes.
#include <functional>
#include <string>

#include "platform/DialogOwner.h"

namespace ferro {

// The caption of every window and message box that names none of its own.
inline const std::string kApplicationTitle = "FerroWinder";

enum class MsgButtons { Ok, YesNo };
enum class MsgIcon { None, Information, Warning };
enum class MsgAnswer { Ok, Yes, No };

class OsServices {
public:
    virtual ~OsServices() = default;

    // A modal message box owned by `owner`'s window (nullptr: no owner);
    // returns the button pressed. defaultAnswer only matters for Yes/No boxes.
    virtual MsgAnswer messageBox(const DialogOwner* owner, const std::string& text,
                                 const std::string& caption, MsgButtons buttons, MsgIcon icon,
                                 MsgAnswer defaultAnswer = MsgAnswer::Ok) = 0;
    virtual void beep() = 0;
    virtual void openUrl(const std::string& url) = 0;
    // Asks the system to restart the computer. The answer may come later (on
    // Linux logind answers asynchronously): `refused` is called, on the UI
    // thread, when the request was refused; it is never called on success.
    virtual void requestRestart(std::function<void()> refused) = 0;
    // Starts a program by path, without a shell and without waiting.
    virtual bool startProgram(const std::string& path) = 0;
    // True for an existing regular file (not a folder of that name).
    virtual bool fileExists(const std::string& path) = 0;

    // Cancelled: the dialog was cancelled or could not be shown; Failed: the
    // user accepted it and printing failed.
    enum class PrintResult { Printed, Cancelled, Failed };
    // Shows the Print dialog owned by `owner` (the selection offered, and
    // preselected, when `selection` is not empty) and prints on the printer
    // the user chose, without making it the default: the selection when the
    // user chose it, otherwise `text`. No page numbers or headers.
    virtual PrintResult printText(const DialogOwner* owner, const std::string& text,
                                  const std::string& selection) = 0;
};

}  // namespace ferro
