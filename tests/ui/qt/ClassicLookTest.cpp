// The style the program settles on draws what Fusion draws.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QIcon>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOption>
#include <QWidget>

#include <initializer_list>
#include <memory>

#include "ui/qt/ClassicLook.h"

namespace ferro::qt {
namespace {

// The menu bars' overflow arrows, which the settled style reads itself, image
// by image against Fusion's own, left to right and right to left.
TEST(ClassicLook, TheMenuBarArrowsAreFusionsOwn)
{
    ASSERT_EQ(QApplication::style()->name(), QStringLiteral("fusion"));
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("fusion")));
    settleStyle();
    QWidget rightToLeftWidget;
    rightToLeftWidget.setLayoutDirection(Qt::RightToLeft);
    QStyleOption leftToRight, rightToLeft;
    leftToRight.direction = Qt::LeftToRight;
    rightToLeft.direction = Qt::RightToLeft;
    for (const QStyle::StandardPixmap which :
         {QStyle::SP_ToolBarHorizontalExtensionButton, QStyle::SP_ToolBarVerticalExtensionButton}) {
        for (const QStyleOption* option :
             std::initializer_list<const QStyleOption*>{nullptr, &leftToRight, &rightToLeft}) {
            SCOPED_TRACE(testing::Message() << which << (option == &rightToLeft ? " right to left" : ""));
            const QIcon expected = fusion->standardIcon(which, option, &rightToLeftWidget);
            const QIcon settled = QApplication::style()->standardIcon(which, option, &rightToLeftWidget);
            ASSERT_FALSE(expected.availableSizes().isEmpty());
            ASSERT_EQ(settled.availableSizes(), expected.availableSizes());
            for (const QSize size : expected.availableSizes())
                EXPECT_EQ(settled.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32),
                          expected.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32))
                    << size.width() << "x" << size.height();
        }
    }
    QApplication::setStyle(QStringLiteral("fusion"));
}

// A font named by its Windows name shows the face it always did, whether or
// not that family is installed here, and a family that is not installed is
// not asked for first (Qt would first sort every font to replace it); the
// name stays readable.
TEST(ClassicLook, AClassicFontShowsTheFaceItsNameFindsAndAsksForAnInstalledOneFirst)
{
    for (const char* name : {"Arial", "MS Sans Serif", "Liberation Sans", "DejaVu Sans", "Liberation Mono"}) {
        for (const bool bold : {false, true}) {
            const QString family = QString::fromLatin1(name);
            QFont asNamed;
            asNamed.setFamilies({family, QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
            asNamed.setPointSizeF(8.25);
            asNamed.setBold(bold);
            const QFont classic = classicFont(family, 8.25, bold);
            EXPECT_EQ(QFontInfo(classic).family(), QFontInfo(asNamed).family()) << name << (bold ? " bold" : "");
            EXPECT_EQ(QFontInfo(classic).bold(), bold) << name;
            EXPECT_TRUE(QFontDatabase::families().contains(classic.families().first(), Qt::CaseInsensitive)) << name;
            EXPECT_EQ(namedFamily(classic), family);
        }
    }
}

}  // namespace
}  // namespace ferro::qt
