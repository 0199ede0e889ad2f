#pragma once
// The OS services of the Qt program: Qt for the boxes, the browser, programs
// and printing; the system for the restart (ExitWindowsEx on Windows,
// systemd-logind elsewhere, asked without blocking the windows).
#include <QString>

#include "platform/OsServices.h"

class QWidget;

namespace ferro::qt {

class QtRenderer;

class QtOsServices final : public OsServices {
public:
    // Boxes and dialogs are owned by the renderer's window of their form.
    explicit QtOsServices(const QtRenderer* renderer = nullptr) : renderer_(renderer) {}

    MsgAnswer messageBox(const DialogOwner* owner, const std::string& text, const std::string& caption,
                         MsgButtons buttons, MsgIcon icon, MsgAnswer defaultAnswer = MsgAnswer::Ok) override;
    void beep() override;
    void openUrl(const std::string& url) override;
    void requestRestart(std::function<void()> refused) override;
    bool startProgram(const std::string& path) override;
    bool fileExists(const std::string& path) override;
    PrintResult printText(const DialogOwner* owner, const std::string& text, const std::string& selection) override;

private:
    QWidget* window(const DialogOwner* owner) const;
    const QtRenderer* renderer_;
};

}  // namespace ferro::qt
