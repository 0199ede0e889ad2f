#include "ui/qt/Pictures.h"

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

// A picture the build stored, as a pixmap sharing the resource's pixels (so
// nothing is decoded or kept twice, and no cache is needed); null when there
// is none.
QPixmap storedPixmap(const QString& path)
{
    static const bool loaded = (loadResources(), true);
    (void)loaded;
    const QResource resource(path);
    if (!resource.isValid())
        return {};
    return QPixmap::fromImage(imageOfStoredPixels(resource.uncompressedData()));
}

}  // namespace

QPixmap picturePixmap(const QString& file, QSize size, bool stretch)
{
    // Stored by the build at the size each window draws it: scaling at run
    // time is for a box the build did not know of.
    const QPixmap ready = storedPixmap(storedPicturePath(file, size, stretch));
    if (!ready.isNull())
        return ready;
    const QPixmap full = storedPixmap(storedPicturePath(file));
    if (full.isNull() || !scaledToFit(full.size(), size, stretch))
        return full;
    return QPixmap::fromImage(fitPicture(full.toImage(), size, stretch));
}

QIcon applicationIcon() { return QIcon(storedPixmap(storedPicturePath(QString::fromLatin1(kProgramIconFile)))); }

}  // namespace ferro::qt
