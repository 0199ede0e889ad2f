#include "ui/qt/Pictures.h"

#include <QPixmapCache>
#include <QResource>

#include "ui/qt/PictureScaling.h"

// Resources of a static library are linked in only when asked for by name,
// and Q_INIT_RESOURCE must be used outside any namespace.
static void loadResources()
{
    Q_INIT_RESOURCE(pictures);
}

namespace ferro::qt {
namespace {

// A picture the build stored, as a pixmap sharing the resource's pixels; null
// when there is none.
QPixmap storedPixmap(const QString& path)
{
    static const bool loaded = (loadResources(), true);
    (void)loaded;
    const QResource resource(path);
    if (!resource.isValid())
        return {};
    return QPixmap::fromImage(imageOfStoredPixels(resource.uncompressedData()));
}

// A picture at its full size, kept once read: the icon of every window and
// the pictures scaled from it at run time are one picture.
QPixmap fullPixmap(const QString& file)
{
    const QString path = storedPicturePath(file);
    QPixmap pixmap;
    if (QPixmapCache::find(path, &pixmap))
        return pixmap;
    pixmap = storedPixmap(path);
    QPixmapCache::insert(path, pixmap);
    return pixmap;
}

}  // namespace

QPixmap picturePixmap(const QString& file, QSize size, bool stretch)
{
    // Stored by the build at the size each window draws it: scaling at run
    // time is for a box the build did not know of.
    const QPixmap ready = storedPixmap(storedPicturePath(file, size, stretch));
    if (!ready.isNull())
        return ready;
    const QPixmap full = fullPixmap(file);
    if (full.isNull() || !scaledToFit(full.size(), size, stretch))
        return full;
    return QPixmap::fromImage(fitPicture(full.toImage(), size, stretch));
}

QIcon applicationIcon() { return QIcon(fullPixmap(QString::fromLatin1(kProgramIconFile))); }

}  // namespace ferro::qt
