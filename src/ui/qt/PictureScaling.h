#pragma once
// How a window's picture is fitted to its box and how the build stores it:
// one rule for the program and for the build step (PreparePictures.cpp),
// which keeps each picture as the pixels a pixmap holds, at its full size and
// fitted to each box the windows draw it in.
#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <vector>

namespace ferro::ui {
struct ControlDef;
struct FormDef;
}  // namespace ferro::ui

namespace ferro::qt {

// A PNG picture by its path (":/..." for a resource), read as one: a reader
// left to guess, even when told the format, first loads every image-format
// plugin installed (and the libraries they need) to ask each of them.
QImage readPng(const QString& path);

// The box a definition's picture is drawn in, in pixels.
QSize pictureBox(const ui::ControlDef& def);

// A picture is shown in its box stretched over all of it, so that it stays
// sharp, or at its own size, scaled down only to fit: whether one of `full`
// size is scaled.
bool scaledToFit(QSize full, QSize box, bool stretch);
// `full` scaled to show in `box`, in premultiplied form, as a pixmap is.
QImage fitPicture(const QImage& full, QSize box, bool stretch);

// Where the build keeps the picture `file` ("logo.png") among the program's
// resources: at its full size, and fitted to `box`.
QString storedPicturePath(const QString& file);
QString storedPicturePath(const QString& file, QSize box, bool stretch);

// A picture stored as a pixmap's pixels: premultiplied 32-bit pixels in this
// build's byte order after a small header. Decoding the icon's PNG was half
// of what the main window did before it showed; these pixels, kept
// uncompressed in the program, are used where they lie, without a conversion
// or a copy (and a decompressor's workspace raised the peak memory more than
// the pixels themselves).
QByteArray storedPixels(const QImage& image);
// The picture in `stored`, sharing its bytes; null when they are not one.
QImage imageOfStoredPixels(const QByteArray& stored);

// The program's icon, in its windows' title bars.
inline constexpr char kProgramIconFile[] = "ferrowinder.png";

// A picture the windows draw: its file ("logo.png"), its box in pixels and
// whether it is stretched over it.
struct DrawnPicture {
    QString file;
    QSize box;
    bool stretch = false;
};
// Every picture these windows draw.
std::vector<DrawnPicture> picturesDrawn(const std::vector<const ui::FormDef*>& forms);

}  // namespace ferro::qt
