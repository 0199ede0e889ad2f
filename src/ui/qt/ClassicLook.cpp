#include "ui/qt/ClassicLook.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace ferro::qt {

QFont classicFont(const QString& family, double points, bool bold)
{
    QFont font;
    font.setFamilies({family, QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QFont dialogFont()
{
    return classicFont(QStringLiteral("MS Sans Serif"), 8.25);
}

void centreOnScreen(QWidget& window)
{
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}

}  // namespace ferro::qt
