// The restart on Linux: logind, asked over the system bus.
#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QTimer>

#include "ui/qt/QtOsServices.h"

namespace ferro::qt {

void QtOsServices::requestRestart(std::function<void()> refused)
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        QTimer::singleShot(0, qApp, std::move(refused));
        return;
    }
    QDBusMessage reboot = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Reboot"));
    reboot << true;  // interactive: logind may ask the user to authenticate
    // The answer can take as long as the user needs for that; the windows
    // go on meanwhile, and a refusal is reported when it comes.
    constexpr int kAuthenticationTimeoutMs = 5 * 60 * 1000;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(reboot, kAuthenticationTimeoutMs), qApp);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, qApp,
                     [refused = std::move(refused)](QDBusPendingCallWatcher* call) {
                         call->deleteLater();
                         if (call->isError())
                             refused();
                     });
}

}  // namespace ferro::qt
