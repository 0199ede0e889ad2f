#include "ui/qt/ClassicLook.h"

#include <QApplication>
#include <QPixmap>
#include <QProxyStyle>
#include <QScreen>
#include <QStyleOption>
#include <QWidget>

#include "ui/qt/PictureScaling.h"

namespace ferro::qt {
namespace {

// Each menu bar asks its style for the arrow it shows when its menus do not
// fit, as it is made. Fusion reads that arrow's pictures by file name, and Qt
// then asks every image plugin whether it reads them: the GIF, ICO and JPEG
// plugins and libjpeg load (about 260 KB, and a millisecond before the main
// window shows). The same pictures, read as the PNGs they are.
class FusionWithPlainArrows final : public QProxyStyle {
public:
    FusionWithPlainArrows() : QProxyStyle(QStringLiteral("fusion")) {}

    QIcon standardIcon(StandardPixmap which, const QStyleOption* option, const QWidget* widget) const override
    {
        const bool horizontal = which == SP_ToolBarHorizontalExtensionButton;
        if (!horizontal && which != SP_ToolBarVerticalExtensionButton)
            return QProxyStyle::standardIcon(which, option, widget);
        // The direction as the common style takes it: the option's, else the application's.
        const bool rightToLeft = option ? option->direction == Qt::RightToLeft : QGuiApplication::isRightToLeft();
        const QString name = !horizontal ? QStringLiteral("v-%1") : rightToLeft ? QStringLiteral("h-rtl-%1")
                                                                                 : QStringLiteral("h-%1");
        static const int horizontalSizes[] = {8, 16, 32}, verticalSizes[] = {5, 10, 20};
        const QString stem = QStringLiteral(":/qt-project.org/styles/commonstyle/images/toolbar-ext-");
        QIcon icon;
        for (const int size : horizontal ? horizontalSizes : verticalSizes)
            icon.addPixmap(QPixmap::fromImage(readPng(stem + name.arg(size) + QStringLiteral(".png"))));
        return icon;
    }
};

}  // namespace

void settleStyle()
{
    if (QApplication::style()->name() == QLatin1String("fusion"))
        QApplication::setStyle(new FusionWithPlainArrows);
}

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
