// Build step: the program's icon and each picture the windows draw, stored as
// a pixmap's pixels at its full size and fitted to each box it is drawn in,
// with the resource file that lists them.
//
//   ferro-prepare-pictures RESOURCES_DIR OUT_DIR
//
// Writes OUT_DIR/pictures.qrc and the pictures it names. Exit 1, saying why,
// on any failure.
#include <QDir>
#include <QSaveFile>
#include <QTextStream>

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
    std::fprintf(stderr, "ferro-prepare-pictures: %s\n", qPrintable(what));
    return 1;
}

bool writeFile(const QString& path, const QByteArray& bytes, QString& error)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    using namespace ferro::qt;
    if (argc != 3)
        return fail(QStringLiteral("usage: ferro-prepare-pictures RESOURCES_DIR OUT_DIR"));
    const QDir resources(QString::fromLocal8Bit(argv[1]));
    const QDir out(QString::fromLocal8Bit(argv[2]));
    if (!out.mkpath(QStringLiteral("pictures")))
        return fail(QStringLiteral("cannot make %1").arg(out.filePath(QStringLiteral("pictures"))));

    std::vector<DrawnPicture> pictures =
        picturesDrawn({&frmSplash::Design(), &frmMain::Design(), &frmAbout::Design(), &frmBoost::Design()});
    pictures.push_back({QString::fromLatin1(kProgramIconFile), {}, false});  // at its full size only
    QString list, error;
    std::set<QString> written;
    const auto store = [&](const QString& path, const QImage& image) {
        const QString name = path.mid(2);  // past ":/"
        if (!written.insert(name).second)
            return true;
        list += QStringLiteral("    <file>%1</file>\n").arg(name);
        return writeFile(out.filePath(name), storedPixels(image), error);
    };
    for (const DrawnPicture& picture : pictures) {
        const QImage full = readPng(resources.filePath(picture.file));
        if (full.isNull())
            return fail(QStringLiteral("cannot read %1").arg(resources.filePath(picture.file)));
        if (!store(storedPicturePath(picture.file), full))
            return fail(error);
        if (picture.box.isValid() && scaledToFit(full.size(), picture.box, picture.stretch) &&
            !store(storedPicturePath(picture.file, picture.box, picture.stretch),
                   fitPicture(full, picture.box, picture.stretch)))
            return fail(error);
    }

    QString qrc;
    QTextStream(&qrc) << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n  <qresource prefix=\"/\">\n"
                      << list << "  </qresource>\n</RCC>\n";
    if (!writeFile(out.filePath(QStringLiteral("pictures.qrc")), qrc.toUtf8(), error))
        return fail(error);
    return 0;
}
