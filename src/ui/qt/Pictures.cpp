#include "ui/qt/Pictures.h"

#include <QFile>
#include <QPixmapCache>

#include "ui/qt/PictureScaling.h"

// Resources of a static library are linked in only when asked for by name,
// and Q_INIT_RESOURCE must be used outside any namespace.
static void loadResources()
{
    Q_INIT_RESOURCE(ferrowinder);
    Q_INIT_RESOURCE(scaled_pictures);
}

namespace ferro::qt {
namespace {

void ensureResources()
{
    static const bool loaded = (loadResources(), true);
    (void)loaded;
}

// A picture at its full size, kept once decoded: the icon of every window
// and the pictures scaled from it at run time are one picture.
QPixmap fullPixmap(const QString& file)
{
    ensureResources();
    const QString path = QStringLiteral(":/") + file;
    QPixmap pixmap;
    if (QPixmapCache::find(path, &pixmap))
        return pixmap;
    pixmap = QPixmap::fromImage(readPng(path));
    QPixmapCache::insert(path, pixmap);
    return pixmap;
}

}  // namespace

QPixmap picturePixmap(const QString& file, QSize size, bool stretch)
{
    // The build scaled each picture the windows draw to its box: decoding
    // the small picture is quicker than decoding the large one and scaling it.
    ensureResources();
    const QString ready = scaledPicturePath(file, size, stretch);
    if (QFile::exists(ready))  // a reader of no file complains
        return QPixmap::fromImage(readPng(ready));
    const QPixmap full = fullPixmap(file);
    if (full.isNull() || !scaledToFit(full.size(), size, stretch))
        return full;
    return QPixmap::fromImage(fitPicture(full.toImage(), size, stretch));
}

QIcon applicationIcon() { return QIcon(fullPixmap(QStringLiteral("ferrowinder.png"))); }

}  // namespace ferro::qt
