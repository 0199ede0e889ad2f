#include "ui/qt/QtPrinting.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextDocument>

#include "ui/qt/ClassicLook.h"

namespace ferro::qt {

OsServices::PrintResult printWithDialog(QWidget* owner, const QString& text, const QString& selection)
{
    using PrintResult = OsServices::PrintResult;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("FerroWinder address"));  // the print job's name
    const bool hasSelection = !selection.isEmpty();
    printer.setPrintRange(hasSelection ? QPrinter::Selection : QPrinter::AllPages);
    // Without an installed printer the dialog offers only a PDF file, and not
    // every platform's dialog proposes a name for it (outside X11 it shows a bare folder).
    if (QPrinterInfo::availablePrinterNames().isEmpty())
        printer.setOutputFileName(QDir::home().filePath(printer.docName() + QStringLiteral(".pdf")));
    QPrintDialog dialog(&printer, owner);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, hasSelection);
    if (dialog.exec() != QDialog::Accepted)
        return PrintResult::Cancelled;
    const bool selectionOnly = hasSelection && printer.printRange() == QPrinter::Selection;
    return printPlainText(selectionOnly ? selection : text, printer) ? PrintResult::Printed : PrintResult::Failed;
}

bool printPlainText(const QString& text, QPrinter& printer)
{
    QTextDocument document;
    document.setDefaultFont(dialogFont());
    document.setPlainText(text);
    // A document laid out on the printer's page prints as it is; one without
    // a page size gets a page number under the text.
    const QPaintDevice* device = document.documentLayout()->paintDevice();
    const qreal dpi = device ? device->logicalDpiX() : 96.0;
    document.setPageSize(printer.pageLayout().paintRect(QPageLayout::Inch).size() * dpi);
    document.print(&printer);
    return printer.printerState() != QPrinter::Error;
}

}  // namespace ferro::qt
