// The pictures the build scaled are the pictures the program would scale.
#include <gtest/gtest.h>

#include <QFile>
#include <QPixmap>

#include "app/frmMain.h"
#include "info/frmAbout.h"
#include "info/frmSplash.h"
#include "ui/qt/PictureScaling.h"
#include "ui/qt/Pictures.h"
#include "wizard/frmBoost.h"

namespace ferro::qt {
namespace {

// Stretched pictures fill their box; others keep their shape and are only
// ever scaled down.
TEST(Pictures, APictureIsStretchedOverItsBoxOrScaledDownOnlyToFit)
{
    struct Case {
        QSize full, box;
        bool stretch;
        QSize shown;
    };
    for (const Case& c : {Case{{256, 256}, {121, 175}, true, {121, 175}}, Case{{72, 46}, {121, 175}, true, {121, 175}},
                          Case{{72, 46}, {72, 46}, true, {72, 46}}, Case{{256, 256}, {32, 32}, false, {32, 32}},
                          Case{{256, 128}, {64, 64}, false, {64, 32}}, Case{{72, 46}, {76, 50}, false, {72, 46}},
                          Case{{72, 46}, {70, 50}, false, {70, 44}}}) {
        QImage full(c.full, QImage::Format_ARGB32);
        full.fill(Qt::red);
        const QImage shown = fitPicture(full, c.box, c.stretch);
        EXPECT_EQ(shown.size(), c.shown) << c.full.width() << "x" << c.full.height() << " in " << c.box.width() << "x"
                                         << c.box.height() << (c.stretch ? " stretched" : "");
        EXPECT_EQ(scaledToFit(c.full, c.box, c.stretch), c.shown != c.full);
    }
}

// Pixel for pixel, as the windows draw them (premultiplied): a picture kept
// ready scaled must survive its trip through a PNG file unchanged.
TEST(Pictures, EveryScaledPictureIsReadyAsTheProgramWouldScaleIt)
{
    int scaled = 0;
    for (const DrawnPicture& picture :
         picturesDrawn({&frmSplash::Design(), &frmMain::Design(), &frmAbout::Design(), &frmBoost::Design()})) {
        SCOPED_TRACE(picture.file.toStdString());
        const QPixmap shown = picturePixmap(picture.file, picture.box, picture.stretch);
        const QImage full = readPng(QStringLiteral(":/") + picture.file);
        ASSERT_FALSE(full.isNull());
        ASSERT_FALSE(shown.isNull());
        if (!scaledToFit(full.size(), picture.box, picture.stretch)) {
            EXPECT_EQ(shown.size(), full.size());
            continue;
        }
        ++scaled;
        EXPECT_TRUE(QFile::exists(scaledPicturePath(picture.file, picture.box, picture.stretch)));
        EXPECT_EQ(shown.toImage(), fitPicture(full, picture.box, picture.stretch));
    }
    EXPECT_GE(scaled, 2);  // the splash's logo and the About window's icon
}

}  // namespace
}  // namespace ferro::qt
