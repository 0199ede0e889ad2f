#pragma once
// Everything a window needs from the operating system. The program uses
// QtOsServices; tests use a recording fake that also answers the modal boxes.
#include <QString>

class QWidget;
class QPrinter;
class QTextEdit;

namespace ferro {

// The caption of every window and message box that names none of its own.
inline const QString kApplicationTitle = QStringLiteral("FerroWinder");

enum class MsgButtons { Ok, YesNo };
enum class MsgIcon { None, Information, Warning };
enum class MsgAnswer { Ok, Yes, No };

class OsServices {
public:
    virtual ~OsServices() = default;

    // A modal message box; returns the button pressed. defaultAnswer only
    // matters for Yes/No boxes.
    virtual MsgAnswer messageBox(QWidget* parent, const QString& text, const QString& caption,
                                 MsgButtons buttons, MsgIcon icon,
                                 MsgAnswer defaultAnswer = MsgAnswer::Ok) = 0;
    virtual void beep() = 0;
    virtual void openUrl(const QString& url) = 0;
    // Asks the system to restart the computer; false when refused.
    virtual bool requestRestart() = 0;
    // Starts a program by path, without a shell and without waiting.
    virtual bool startProgram(const QString& path) = 0;
    virtual bool fileExists(const QString& path) = 0;
    // Shows the Print dialog for the text box (selection preselected as the
    // print range when it has one); false when cancelled or failed. On true
    // the chosen printer is set up in `printer`.
    virtual bool printDialog(QWidget* parent, QPrinter& printer, bool hasSelection) = 0;
    // Prints the box's selection (or all of it when the printer's range is
    // not the selection).
    virtual void printRichText(QTextEdit& box, QPrinter& printer) = 0;
};

}  // namespace ferro
