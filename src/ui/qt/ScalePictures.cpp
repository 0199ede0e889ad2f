// Build step: each picture the windows draw, scaled to the box it is drawn in,
// with the resource file that lists them.
//
//   ferro-scale-pictures RESOURCES_DIR OUT_DIR
//
// Writes OUT_DIR/scaled-pictures.qrc and the pictures it names. A picture
// drawn at its own size is not written. Exit 1, saying why, on any failure.
#include <png.h>

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTextStream>

#include <csetjmp>
#include <cstdio>
#include <set>

#include "app/frmMain.h"
#include "info/frmAbout.h"
#include "info/frmSplash.h"
#include "ui/qt/PictureScaling.h"
#include "wizard/frmBoost.h"

namespace {

int fail(const QString& what)
{
    std::fprintf(stderr, "ferro-scale-pictures: %s\n", qPrintable(what));
    return 1;
}

// `image` as an 8-bit RGBA PNG whose rows are stored unfiltered: the program
// decodes it in a third of the time a filtered one takes, for a few more
// bytes. Qt's writer cannot be told not to filter.
bool writeUnfilteredPng(const QString& path, const QImage& image)
{
    const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888);
    std::FILE* file = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool written = false;
    if (info && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        png_set_IHDR(png, info, static_cast<png_uint_32>(rgba.width()), static_cast<png_uint_32>(rgba.height()), 8,
                     PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
        png_set_compression_level(png, 9);
        png_write_info(png, info);
        for (int y = 0; y < rgba.height(); ++y)
            png_write_row(png, rgba.constScanLine(y));
        png_write_end(png, nullptr);
        written = true;
    }
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv)
{
    using namespace ferro::qt;
    if (argc != 3)
        return fail(QStringLiteral("usage: ferro-scale-pictures RESOURCES_DIR OUT_DIR"));
    const QDir resources(QString::fromLocal8Bit(argv[1]));
    const QDir out(QString::fromLocal8Bit(argv[2]));
    if (!out.mkpath(QStringLiteral("scaled")))
        return fail(QStringLiteral("cannot make %1").arg(out.filePath(QStringLiteral("scaled"))));

    QString list;
    std::set<QString> written;
    for (const DrawnPicture& picture :
         picturesDrawn({&frmSplash::Design(), &frmMain::Design(), &frmAbout::Design(), &frmBoost::Design()})) {
        const QImage full = readPng(resources.filePath(picture.file));
        if (full.isNull())
            return fail(QStringLiteral("cannot read %1").arg(resources.filePath(picture.file)));
        if (!scaledToFit(full.size(), picture.box, picture.stretch))
            continue;
        const QString name = scaledPicturePath(picture.file, picture.box, picture.stretch).mid(2);  // past ":/"
        if (!written.insert(name).second)
            continue;
        if (!writeUnfilteredPng(out.filePath(name), fitPicture(full, picture.box, picture.stretch)))
            return fail(QStringLiteral("cannot write %1").arg(out.filePath(name)));
        list += QStringLiteral("    <file>%1</file>\n").arg(name);
    }

    QSaveFile qrc(out.filePath(QStringLiteral("scaled-pictures.qrc")));
    if (!qrc.open(QIODevice::WriteOnly | QIODevice::Text))
        return fail(QStringLiteral("cannot write %1: %2").arg(qrc.fileName(), qrc.errorString()));
    QTextStream(&qrc) << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n  <qresource prefix=\"/\">\n"
                      << list << "  </qresource>\n</RCC>\n";
    if (!qrc.commit())
        return fail(QStringLiteral("cannot write %1: %2").arg(qrc.fileName(), qrc.errorString()));
    return 0;
}
