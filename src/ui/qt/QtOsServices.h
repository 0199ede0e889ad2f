#pragma once
// The OS services of the running program: Qt for the windows, the system for
// the restart (ExitWindowsEx on Windows, systemd-logind elsewhere).
#include "platform/OsServices.h"
#include "registry/modRegistry.h"

namespace ferro {

class QtOsServices final : public OsServices {
public:
    MsgAnswer messageBox(QWidget* parent, const QString& text, const QString& caption,
                         MsgButtons buttons, MsgIcon icon,
                         MsgAnswer defaultAnswer = MsgAnswer::Ok) override;
    void beep() override;
    void openUrl(const QString& url) override;
    bool requestRestart() override;
    bool startProgram(const QString& path) override;
    bool fileExists(const QString& path) override;
    bool printDialog(QWidget* parent, QPrinter& printer, bool hasSelection) override;
    void printRichText(QTextEdit& box, QPrinter& printer) override;
};

// Prints the box's selection when the printer's range is the selection, else
// all of it: the text alone, without the page number Qt adds by default.
void printTextBox(QTextEdit& box, QPrinter& printer);

// The registry layer's messages as modal boxes: the application title
// "FerroWinder" as caption, an OK button and no icon.
modRegistry::MessageSink registryMessageSink(OsServices& os, QWidget* parent = nullptr);

}  // namespace ferro
