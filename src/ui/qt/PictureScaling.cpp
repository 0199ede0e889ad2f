#include "ui/qt/PictureScaling.h"

#include <QImageReader>

#include <cstring>

#include "form/FormDefinition.h"
#include "ui/qt/Twips.h"

namespace ferro::qt {

QImage readPng(const QString& path)
{
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

QSize pictureBox(const ui::ControlDef& def) { return QSize(px(def.width), px(def.height)); }

bool scaledToFit(QSize full, QSize box, bool stretch)
{
    return stretch ? full != box : full.width() > box.width() || full.height() > box.height();
}

QImage fitPicture(const QImage& full, QSize box, bool stretch)
{
    if (full.isNull() || !scaledToFit(full.size(), box, stretch))
        return full;
    return full.convertToFormat(QImage::Format_ARGB32_Premultiplied)
        .scaled(box, stretch ? Qt::IgnoreAspectRatio : Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

QString storedPicturePath(const QString& file) { return QStringLiteral(":/pictures/%1.pixels").arg(file); }

QString storedPicturePath(const QString& file, QSize box, bool stretch)
{
    return QStringLiteral(":/pictures/%1x%2%3-%4.pixels")
        .arg(box.width())
        .arg(box.height())
        .arg(stretch ? QStringLiteral("-stretched") : QString())
        .arg(file);
}

namespace {

struct PixelsHeader {
    char magic[4];
    quint32 width, height;
};
constexpr char kPixelsMagic[4] = {'F', 'W', 'P', 'X'};

}  // namespace

QByteArray storedPixels(const QImage& image)
{
    const QImage pixels = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const PixelsHeader header{{kPixelsMagic[0], kPixelsMagic[1], kPixelsMagic[2], kPixelsMagic[3]},
                              static_cast<quint32>(pixels.width()), static_cast<quint32>(pixels.height())};
    QByteArray stored(reinterpret_cast<const char*>(&header), sizeof header);
    for (int y = 0; y < pixels.height(); ++y)
        stored.append(reinterpret_cast<const char*>(pixels.constScanLine(y)), qsizetype(pixels.width()) * 4);
    return stored;
}

QImage imageOfStoredPixels(const QByteArray& stored)
{
    PixelsHeader header;
    if (stored.size() < qsizetype(sizeof header))
        return {};
    std::memcpy(&header, stored.constData(), sizeof header);
    if (std::memcmp(header.magic, kPixelsMagic, sizeof kPixelsMagic) != 0 || header.width == 0 ||
        header.height == 0 || header.width > 4096 || header.height > 4096 ||
        stored.size() != qsizetype(sizeof header) + qsizetype(header.width) * header.height * 4)
        return {};
    // The image keeps its own reference to the bytes, however long it lives.
    auto* held = new QByteArray(stored);
    return QImage(reinterpret_cast<const uchar*>(held->constData() + sizeof header), int(header.width),
                  int(header.height), int(header.width) * 4, QImage::Format_ARGB32_Premultiplied,
                  [](void* bytes) { delete static_cast<QByteArray*>(bytes); }, held);
}

std::vector<DrawnPicture> picturesDrawn(const std::vector<const ui::FormDef*>& forms)
{
    std::vector<DrawnPicture> pictures;
    for (const ui::FormDef* form : forms)
        for (const ui::ControlDef& def : form->controls)
            if (!def.image.empty())
                pictures.push_back({QString::fromStdString(def.image), pictureBox(def), def.stretch});
    return pictures;
}

}  // namespace ferro::qt
