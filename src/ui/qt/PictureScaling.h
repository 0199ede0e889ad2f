#pragma once
// How a window's picture is fitted to its box: one rule for the program and
// for the build, which keeps each picture ready scaled to the box it is drawn
// in.
#include <QImage>
#include <QSize>
#include <QString>

#include <string>
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

// Where the build keeps `file` fitted to `box`, among the program's resources.
QString scaledPicturePath(const QString& file, QSize box, bool stretch);

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
