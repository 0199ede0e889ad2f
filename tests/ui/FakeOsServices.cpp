#include "ui/FakeOsServices.h"

#include "platform/QtOsServices.h"

#include <QPrinter>
#include <QTextEdit>

namespace ferro {

MsgAnswer FakeOsServices::messageBox(QWidget*, const QString& text, const QString& caption,
                                     MsgButtons buttons, MsgIcon icon, MsgAnswer defaultAnswer)
{
    boxes.push_back({text, caption, buttons, icon, defaultAnswer});
    if (whileBoxOpen)
        whileBoxOpen(boxes.back());
    if (buttons == MsgButtons::Ok)
        return MsgAnswer::Ok;
    if (answers.empty())
        return defaultAnswer;
    const MsgAnswer answer = answers.front();
    answers.pop_front();
    return answer;
}

bool FakeOsServices::printDialog(QWidget*, QPrinter& printer, bool hasSelection)
{
    ++printDialogs;
    lastDialogHadSelection = hasSelection;
    if (!printDialogAccepted)
        return false;
    printer.setPrintRange(hasSelection ? QPrinter::Selection : QPrinter::AllPages);
    if (!printToPdf.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printToPdf);
    }
    return true;
}

void FakeOsServices::printRichText(QTextEdit& box, QPrinter& printer)
{
    const bool selection = printer.printRange() == QPrinter::Selection;
    printedTexts << (selection ? box.textCursor().selectedText() : box.toPlainText());
    if (!printToPdf.isEmpty())
        printTextBox(box, printer);
}

}  // namespace ferro
