#pragma once
// The windows' pictures, from the program's resources.
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace ferro::qt {

// A picture a definition names ("logo.png"), to show in a box of `size`:
// stretched over all of it from its full size, so that it stays sharp, or at
// its own size, scaled down only to fit. Null when it cannot be read.
QPixmap picturePixmap(const QString& file, QSize size, bool stretch);

// A PNG picture by its path (":/..." for a resource), read as one: a reader
// left to guess, even when told the format, first loads every image-format
// plugin installed (and the libraries they need) to ask each of them.
QImage readPng(const QString& path);

// The program's icon, for its windows.
QIcon applicationIcon();

}  // namespace ferro::qt
