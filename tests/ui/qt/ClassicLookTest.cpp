// The style the program settles on draws what Fusion draws.
#include <gtest/gtest.h>

#include <QApplication>
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

}  // namespace
}  // namespace ferro::qt
