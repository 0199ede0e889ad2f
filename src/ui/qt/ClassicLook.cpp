#include "ui/qt/ClassicLook.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

// Resources of a static library are linked in only when asked for by name,
// and Q_INIT_RESOURCE must be used outside any namespace.
static void loadResources()
{
    Q_INIT_RESOURCE(ferrowinder);
}

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

QIcon applicationIcon()
{
    static const bool loaded = (loadResources(), true);
    (void)loaded;
    return QIcon(QStringLiteral(":/ferrowinder.png"));
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
