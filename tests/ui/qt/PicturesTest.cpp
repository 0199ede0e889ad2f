// The pictures the build stored are the pictures the program would draw.
#include <gtest/gtest.h>

#include <QResource>

#include <cstring>

#include "app/frmMain.h"
#include "info/frmAbout.h"
#include "info/frmSplash.h"
#include "ui/qt/PictureScaling.h"
#include "ui/qt/Pictures.h"
#include "wizard/frmBoost.h"

namespace ferro::qt {
namespace {

QImage premultiplied(const QImage& image) { return image.convertToFormat(QImage::Format_ARGB32_Premultiplied); }

QImage sourcePicture(const QString& file)
{
    return readPng(QStringLiteral(QT_TESTCASE_SOURCEDIR "/../resources/") + file);
}

// Stretched pictures fill their box; others keep their shape and are only
// ever scaled down.
TEST(Pictures, APictureIsStretchedOverItsBoxOrScaledDownOnlyToFit)
{
    struct Case {
        QSize full, box;
        bool stretch;
        QSize shown;
    };
    for (const Case& c : {Case{{256, 256}, {121, 175}, true, {121, 175}},
                          Case{{72, 46}, {121, 175}, true, {121, 175}},
                          Case{{72, 46}, {72, 46}, true, {72, 46}},
                          Case{{256, 256}, {32, 32}, false, {32, 32}},
                          Case{{256, 128}, {64, 64}, false, {64, 32}},
                          Case{{72, 46}, {76, 50}, false, {72, 46}},
                          Case{{72, 46}, {70, 50}, false, {70, 44}}}) {
        QImage full(c.full, QImage::Format_ARGB32);
        full.fill(Qt::red);
        const QImage shown = fitPicture(full, c.box, c.stretch);
        EXPECT_EQ(shown.size(), c.shown) << c.full.width() << "x" << c.full.height() << " in " << c.box.width()
                                         << "x" << c.box.height() << (c.stretch ? " stretched" : "");
        EXPECT_EQ(scaledToFit(c.full, c.box, c.stretch), c.shown != c.full);
    }
}

// Pixel for pixel, as the windows draw them (premultiplied), from the PNGs in
// resources/: each picture stored at the size it is drawn, and the icon.
TEST(Pictures, EveryPictureIsStoredAsTheProgramWouldDrawIt)
{
    int scaled = 0;
    for (const DrawnPicture& picture :
         picturesDrawn({&frmSplash::Design(), &frmMain::Design(), &frmAbout::Design(), &frmBoost::Design()})) {
        SCOPED_TRACE(picture.file.toStdString());
        const QImage source = sourcePicture(picture.file);
        ASSERT_FALSE(source.isNull());
        const QPixmap shown = picturePixmap(picture.file, picture.box, picture.stretch);
        ASSERT_FALSE(shown.isNull());
        EXPECT_EQ(shown.toImage(), premultiplied(fitPicture(source, picture.box, picture.stretch)));
        if (scaledToFit(source.size(), picture.box, picture.stretch)) {
            ++scaled;
            EXPECT_TRUE(QResource(storedPicturePath(picture.file, picture.box, picture.stretch)).isValid());
        }
    }
    EXPECT_GE(scaled, 2);  // the splash's logo and the About window's icon

    const QIcon icon = applicationIcon();
    ASSERT_EQ(icon.availableSizes(), QList<QSize>{QSize(256, 256)});
    EXPECT_EQ(icon.pixmap(256).toImage(), premultiplied(sourcePicture(QString::fromLatin1(kProgramIconFile))));
}

// Stored pixels read back as the image they were; bytes that are not such a
// picture read as no picture, never as a picture read past its end.
TEST(Pictures, StoredPixelsReadBackAndAnythingElseReadsAsNone)
{
    QImage image(3, 2, QImage::Format_ARGB32);
    image.fill(QColor(10, 200, 30, 128));
    const QByteArray stored = storedPixels(image);
    EXPECT_EQ(imageOfStoredPixels(stored), premultiplied(image));

    const auto withWidth = [&stored](quint32 width) {
        QByteArray bytes = stored;
        std::memcpy(bytes.data() + 4, &width, sizeof width);  // past the magic
        return bytes;
    };
    QByteArray wrongMagic = stored;
    wrongMagic[0] = 'X';
    const QByteArray tooWide = withWidth(4);  // with the pixels of 3
    const QByteArray noWidth = withWidth(0);
    for (const QByteArray& bytes : {QByteArray(), stored.left(8), stored.chopped(1), stored + "x", wrongMagic,
                                    tooWide, noWidth})
        EXPECT_TRUE(imageOfStoredPixels(bytes).isNull()) << bytes.size() << " bytes";
}

}  // namespace
}  // namespace ferro::qt
