#include "platform/QtOsServices.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPointer>
#include <QProcess>
#include <QAbstractTextDocumentLayout>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextEdit>

#include <memory>
#include <QUrl>

#ifdef _WIN32
#include "platform/WindowsRestart.h"
#else
#include <QDBusConnection>
#include <QDBusMessage>
#endif

namespace ferro {
namespace {

QMessageBox::StandardButton standardButton(MsgAnswer answer)
{
    switch (answer) {
    case MsgAnswer::Yes: return QMessageBox::Yes;
    case MsgAnswer::No: return QMessageBox::No;
    case MsgAnswer::Ok: break;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon boxIcon(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Information: return QMessageBox::Information;
    case MsgIcon::Warning: return QMessageBox::Warning;
    case MsgIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

MsgAnswer QtOsServices::messageBox(QWidget* parent, const QString& text, const QString& caption,
                                   MsgButtons buttons, MsgIcon icon, MsgAnswer defaultAnswer)
{
    QMessageBox box(boxIcon(icon), caption, text, QMessageBox::NoButton, parent);
    // Plain text: the texts are shown as written, never read as markup.
    box.setTextFormat(Qt::PlainText);
    if (buttons == MsgButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(standardButton(defaultAnswer == MsgAnswer::No ? MsgAnswer::No
                                                                           : MsgAnswer::Yes));
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
    }
    const int pressed = box.exec();
    if (buttons == MsgButtons::Ok)
        return MsgAnswer::Ok;
    // Closing a Yes/No box from its title bar counts as No.
    return pressed == QMessageBox::Yes ? MsgAnswer::Yes : MsgAnswer::No;
}

void QtOsServices::beep()
{
    QApplication::beep();
}

void QtOsServices::openUrl(const QString& url)
{
    QDesktopServices::openUrl(QUrl(url));
}

bool QtOsServices::requestRestart()
{
#ifdef _WIN32
    return requestWindowsRestart();
#else
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage reboot = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Reboot"));
    reboot << true;  // interactive: logind may ask the user to authenticate
    // The answer can take as long as the user needs for that.
    constexpr int kAuthenticationTimeoutMs = 5 * 60 * 1000;
    return bus.call(reboot, QDBus::Block, kAuthenticationTimeoutMs).type() ==
           QDBusMessage::ReplyMessage;
#endif
}

bool QtOsServices::startProgram(const QString& path)
{
    // The path is the program itself, with no arguments: no shell reads it.
    return QProcess::startDetached(path, {});
}

bool QtOsServices::fileExists(const QString& path)
{
    // A program file: a folder of that name does not count.
    return QFileInfo(path).isFile();
}

bool QtOsServices::printDialog(QWidget* parent, QPrinter& printer, bool hasSelection)
{
    printer.setPrintRange(hasSelection ? QPrinter::Selection : QPrinter::AllPages);
    // Without an installed printer the dialog offers only a PDF file, and not
    // every platform's dialog proposes a name for it (outside X11 it shows a bare folder).
    if (QPrinterInfo::availablePrinterNames().isEmpty() && printer.outputFileName().isEmpty()) {
        const QString name = printer.docName().isEmpty() ? QStringLiteral("print") : printer.docName();
        printer.setOutputFileName(QDir::home().filePath(name + QStringLiteral(".pdf")));
    }
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, hasSelection);
    return dialog.exec() == QDialog::Accepted;
}

void QtOsServices::printRichText(QTextEdit& box, QPrinter& printer)
{
    printTextBox(box, printer);
}

void printTextBox(QTextEdit& box, QPrinter& printer)
{
    const QTextCursor cursor = box.textCursor();
    const bool selectionOnly = printer.printRange() == QPrinter::Selection && cursor.hasSelection();
    std::unique_ptr<QTextDocument> document(box.document()->clone());
    if (selectionOnly)
        document->setHtml(cursor.selection().toHtml());
    // A document laid out on the printer's page prints as it is; one without
    // a page size gets a page number under the text.
    const QPaintDevice* device = document->documentLayout()->paintDevice();
    const qreal dpi = device ? device->logicalDpiX() : 96.0;
    document->setPageSize(printer.pageLayout().paintRect(QPageLayout::Inch).size() * dpi);
    document->print(&printer);
}

modRegistry::MessageSink registryMessageSink(OsServices& os, QWidget* parent)
{
    return [&os, owner = QPointer<QWidget>(parent)](const std::string& message) {
        os.messageBox(owner, QString::fromStdString(message), kApplicationTitle,
                      MsgButtons::Ok, MsgIcon::None);
    };
}

}  // namespace ferro
