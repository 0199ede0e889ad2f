// The restart on Windows, for a Qt build there.
#include <QApplication>
#include <QTimer>

#include "platform/WindowsRestart.h"
#include "ui/qt/QtOsServices.h"

namespace ferro::qt {

void QtOsServices::requestRestart(std::function<void()> refused)
{
    if (!requestWindowsRestart())
        QTimer::singleShot(0, qApp, std::move(refused));
}

}  // namespace ferro::qt
