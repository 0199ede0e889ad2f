#include "ui/qt/PictureScaling.h"

#include <QImageReader>

#include "form/FormDefinition.h"
#include "ui/qt/ClassicLook.h"

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

QString scaledPicturePath(const QString& file, QSize box, bool stretch)
{
    return QStringLiteral(":/scaled/%1x%2%3-%4")
        .arg(box.width())
        .arg(box.height())
        .arg(stretch ? QStringLiteral("-stretched") : QString())
        .arg(file);
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
