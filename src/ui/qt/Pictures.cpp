#include "ui/qt/Pictures.h"

#include <QImageReader>
#include <QPixmapCache>

// Resources of a static library are linked in only when asked for by name,
// and Q_INIT_RESOURCE must be used outside any namespace.
static void loadResources()
{
    Q_INIT_RESOURCE(ferrowinder);
}

namespace ferro::qt {
namespace {

// Every picture of ours is a PNG, kept once decoded: the icon of every window
// and the splash's logo are one picture.
QPixmap resourcePixmap(const QString& file)
{
    static const bool loaded = (loadResources(), true);
    (void)loaded;
    const QString path = QStringLiteral(":/") + file;
    QPixmap pixmap;
    if (QPixmapCache::find(path, &pixmap))
        return pixmap;
    pixmap = QPixmap::fromImage(readPng(path));
    QPixmapCache::insert(path, pixmap);
    return pixmap;
}

}  // namespace

QImage readPng(const QString& path)
{
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

QPixmap picturePixmap(const QString& file, QSize size, bool stretch)
{
    const QPixmap full = resourcePixmap(file);
    if (full.isNull())
        return full;
    if (stretch)
        return full.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (full.width() <= size.width() && full.height() <= size.height())
        return full;
    return full.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

QIcon applicationIcon()
{
    return QIcon(resourcePixmap(QStringLiteral("ferrowinder.png")));
}

}  // namespace ferro::qt
