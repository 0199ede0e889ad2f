// FerroWinder: the splash, then the main window, drawn by Qt.
#include <QApplication>

#include <memory>

#include "app/AppWindows.h"
#include "ui/qt/CommandLine.h"
#include "info/frmSplash.h"
#include "platform/DefaultRegistry.h"
#include "ui/qt/QtOsServices.h"
#include "ui/qt/QtRenderer.h"

int main(int argc, char** argv)
{
    if (const std::optional<int> code = ferro::qt::answerWithoutWindows(argc, argv))
        return *code;
    qInstallMessageHandler(ferro::qt::startUpMessageHandler);
    QApplication app(argc, argv);
    qInstallMessageHandler(nullptr);
    // The program ends by Exit or by closing the main window, never because
    // no window happens to be visible.
    QApplication::setQuitOnLastWindowClosed(false);
    ferro::qt::QtRenderer renderer;
    ferro::qt::QtOsServices os(&renderer);

    std::unique_ptr<ferro::RegistryBackend> registry;
    try {
        registry = ferro::openRegistry();
    } catch (const std::exception& e) {
        os.messageBox(nullptr, std::string("FerroWinder cannot open its registry:\n") + e.what(),
                      ferro::kApplicationTitle, ferro::MsgButtons::Ok, ferro::MsgIcon::Warning);
        return 1;
    }

    ferro::AppWindows windows({os, *registry, ferro::programFolder()}, renderer);
    windows.showSplash();
    return app.exec();
}
