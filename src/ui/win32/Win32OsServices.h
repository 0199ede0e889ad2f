#pragma once
// The OS services on Windows: message boxes owned by the form's window, the
// beep, the browser, starting a program, the file check, the Print dialog and
// GDI printing, and the restart.
#include <windows.h>

#include <functional>

#include "form/Form.h"
#include "platform/OsServices.h"

namespace ferro::win32 {

class Win32OsServices : public OsServices {
public:
    // The window of a loaded form (nullptr when it has none): the renderer knows.
    using WindowOf = std::function<HWND(const ui::Form*)>;
    explicit Win32OsServices(WindowOf windowOf = {});

    MsgAnswer messageBox(const DialogOwner* owner, const std::string& text, const std::string& caption,
                         MsgButtons buttons, MsgIcon icon, MsgAnswer defaultAnswer) override;
    void beep() override;
    void openUrl(const std::string& url) override;
    void requestRestart(std::function<void()> refused) override;
    bool startProgram(const std::string& path) override;
    bool fileExists(const std::string& path) override;
    PrintResult printText(const DialogOwner* owner, const std::string& text,
                          const std::string& selection) override;

private:
    HWND windowOf(const DialogOwner* owner) const;

    WindowOf windowOf_;
};

// The Print dialog's flags for a text with or without a selection: a device
// context for the chosen printer, no page range, and the selection offered
// (and preselected) only when there is one.
DWORD printDialogFlags(bool hasSelection);

// What to print once the dialog returned `flags`: the selection when the user
// kept it as the range, otherwise the whole text.
const std::string& textToPrint(DWORD flags, const std::string& text, const std::string& selection);

// Prints `text` (ANSI) as one document on `printer`, word-wrapped inside
// one-inch margins, paragraph by paragraph onto as many pages as it needs;
// no headers or page numbers. False when a GDI print call failed.
bool printDocument(HDC printer, const std::string& text, const std::string& documentName);

}  // namespace ferro::win32
