// FerroWinder: the splash, then the main window.
#include <QApplication>

#include <memory>

#include "app/AppWindows.h"
#include "platform/QtOsServices.h"
#include "registry/DefaultRegistry.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // The program ends by Exit or by closing the main window, never because
    // no window happens to be visible.
    QApplication::setQuitOnLastWindowClosed(false);
    ferro::QtOsServices os;

    std::unique_ptr<ferro::RegistryBackend> registry;
    try {
        registry = ferro::openRegistry();
    } catch (const std::exception& e) {
        os.messageBox(nullptr,
                      QStringLiteral("FerroWinder cannot open its registry:\n") + QString::fromLocal8Bit(e.what()),
                      ferro::kApplicationTitle, ferro::MsgButtons::Ok, ferro::MsgIcon::Warning);
        return 1;
    }

    ferro::AppWindows windows({os, *registry, ferro::programFolder()});
    windows.showSplash();
    return app.exec();
}
