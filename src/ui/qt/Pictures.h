#pragma once
// The windows' pictures, from the program's resources.
#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace ferro::qt {

// A picture a definition names ("logo.png"), fitted to a box of `size` (see
// PictureScaling.h). Null when it cannot be read.
QPixmap picturePixmap(const QString& file, QSize size, bool stretch);

// The program's icon, for its windows.
QIcon applicationIcon();

}  // namespace ferro::qt
