// FerroWinder: the splash, then the main window, drawn by Qt.
#include <QApplication>

#include "app/AppWindows.h"
#include "ui/qt/ClassicLook.h"
#include "ui/qt/CommandLine.h"
#include "info/frmSplash.h"
#include "platform/DefaultRegistry.h"
#include "registry/LazyRegistry.h"
#include "ui/qt/ProgramModules.h"
#include "ui/qt/QtOsServices.h"
#include "ui/qt/QtRenderer.h"

int main(int argc, char** argv)
{
    if (const std::optional<int> code = ferro::qt::answerWithoutWindows(argc, argv))
        return *code;
    qInstallMessageHandler(ferro::qt::startUpMessageHandler);
    QApplication app(argc, argv);
    qInstallMessageHandler(nullptr);
    ferro::qt::settleStyle();
    // The program ends by Exit or by closing the main window, never because
    // no window happens to be visible.
    QApplication::setQuitOnLastWindowClosed(false);
    ferro::qt::QtRenderer renderer;
    ferro::qt::QtOsServices os(&renderer);

    // Opened when a window first reads or writes a value, not before the
    // first window shows; a store that cannot be used ends the program.
    ferro::LazyRegistry registry(ferro::qt::openRegistryFromModule, [&os](const std::string& reason) {
        os.messageBox(nullptr, "FerroWinder cannot open its registry:\n" + reason, ferro::kApplicationTitle,
                      ferro::MsgButtons::Ok, ferro::MsgIcon::Warning);
        QCoreApplication::exit(1);
    });

    ferro::AppWindows windows({os, registry, ferro::programFolder()}, renderer);
    windows.showSplash();
    return app.exec();
}
