#pragma once
// Printing with Qt's print support. The program loads it at its first print,
// from the module ferrowinder-print, so that starting the program loads
// neither this code nor Qt's print support.
#include <QString>

#include "platform/OsServices.h"

class QPrinter;
class QWidget;

namespace ferro::qt {

// The system's print dialog for `text` (offering to print `selection` alone
// when there is one), then the printout.
OsServices::PrintResult printWithDialog(QWidget* owner, const QString& text, const QString& selection);

// Prints plain text on a printer that is set up: the text alone, without the
// page number Qt adds by default. False when the printer reports an error.
bool printPlainText(const QString& text, QPrinter& printer);

// The module's one entry point, by this name, returning a PrintResult.
using PrintEntry = int (*)(QWidget* owner, const QString& text, const QString& selection);
constexpr const char* kPrintEntryName = "ferroPrintWithDialog";

}  // namespace ferro::qt
