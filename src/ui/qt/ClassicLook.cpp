#include "ui/qt/ClassicLook.h"

#include <QApplication>
#include <QFontDatabase>
#include <QHash>
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

// Metric-compatible with Arial and with MS Sans Serif at the classic sizes.
const QString kStandIn = QStringLiteral("Liberation Sans");

// Whether `family` is a font installed here, not a name fontconfig maps to another.
bool installedFamily(const QString& family)
{
    static QHash<QString, bool> known;  // the GUI thread's
    auto found = known.constFind(family);
    if (found == known.cend())
        found = known.insert(family, QFontDatabase::families().contains(family, Qt::CaseInsensitive));
    return *found;
}

}  // namespace

void settleStyle()
{
    if (QApplication::style()->name() == QLatin1String("fusion"))
        QApplication::setStyle(new FusionWithPlainArrows);
}

QFont classicFont(const QString& family, double points, bool bold)
{
    // For a first family that is not installed, Qt sorts every installed font
    // (a fontconfig search for its substitutes, a third of a millisecond)
    // before it tries the next family; where the stand-in is installed, that
    // next family is the face it ends up with anyway. The named family follows
    // the stand-in, so that the font still says what it was made for.
    QFont font;
    if (installedFamily(family) || !installedFamily(kStandIn))
        font.setFamilies({family, kStandIn, QStringLiteral("Arial")});
    else
        font.setFamilies({kStandIn, family, QStringLiteral("Arial")});
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QString namedFamily(const QFont& font)
{
    const QStringList families = font.families();
    const bool standingIn = families.size() > 1 && families.at(0) == kStandIn && !installedFamily(families.at(1));
    return families.value(standingIn ? 1 : 0);
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
