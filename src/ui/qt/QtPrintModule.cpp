// The module ferrowinder-print: printing, loaded by the program at its first print.
#include "ui/qt/QtPrinting.h"

extern "C" Q_DECL_EXPORT int ferroPrintWithDialog(QWidget* owner, const QString& text, const QString& selection)
{
    return static_cast<int>(ferro::qt::printWithDialog(owner, text, selection));
}
