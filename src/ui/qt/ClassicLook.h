#pragma once
// What every window shares: sizes given in twips (Twips.h) and the classic fonts.
#include <QFont>

#include "ui/qt/Twips.h"

class QWidget;

namespace ferro::qt {

// A font by its Windows name, with a metric-compatible stand-in for systems
// that lack it.
QFont classicFont(const QString& family, double points, bool bold = false);
// The Windows name a classic font was made for.
QString namedFamily(const QFont& font);
// The plain dialog font of the classic windows.
QFont dialogFont();

// Where the application runs in Fusion (a desktop without a style of its
// own), Fusion with its menu bars' overflow arrows read as the PNGs they are
// (see ClassicLook.cpp); any other style stays as it is. Before any widget.
void settleStyle();

// Moves a window to the middle of its screen.
void centreOnScreen(QWidget& window);

}  // namespace ferro::qt
