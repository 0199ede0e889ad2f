#include "ui/qt/QtOsServices.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QTextDocument>
#include <QTimer>
#include <QUrl>

#ifdef _WIN32
#include "platform/WindowsRestart.h"
#else
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#endif

#include "ui/qt/ClassicLook.h"
#include "ui/qt/QtRenderer.h"

namespace ferro::qt {
namespace {

QMessageBox::Icon boxIcon(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Information: return QMessageBox::Information;
    case MsgIcon::Warning: return QMessageBox::Warning;
    case MsgIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QString qText(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

QWidget* QtOsServices::window(const ui::Form* owner) const
{
    return renderer_ ? renderer_->window(owner) : nullptr;
}

MsgAnswer QtOsServices::messageBox(const ui::Form* owner, const std::string& text, const std::string& caption,
                                   MsgButtons buttons, MsgIcon icon, MsgAnswer defaultAnswer)
{
    QMessageBox box(boxIcon(icon), qText(caption), qText(text), QMessageBox::NoButton, window(owner));
    // Plain text: the texts are shown as written, never read as markup.
    box.setTextFormat(Qt::PlainText);
    if (buttons == MsgButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(defaultAnswer == MsgAnswer::No ? QMessageBox::No : QMessageBox::Yes);
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

void QtOsServices::openUrl(const std::string& url)
{
    QDesktopServices::openUrl(QUrl(qText(url)));
}

void QtOsServices::requestRestart(std::function<void()> refused)
{
#ifdef _WIN32
    if (!requestWindowsRestart())
        QTimer::singleShot(0, qApp, std::move(refused));
#else
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        QTimer::singleShot(0, qApp, std::move(refused));
        return;
    }
    QDBusMessage reboot = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Reboot"));
    reboot << true;  // interactive: logind may ask the user to authenticate
    // The answer can take as long as the user needs for that; the windows
    // go on meanwhile, and a refusal is reported when it comes.
    constexpr int kAuthenticationTimeoutMs = 5 * 60 * 1000;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(reboot, kAuthenticationTimeoutMs), qApp);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, qApp,
                     [refused = std::move(refused)](QDBusPendingCallWatcher* call) {
                         call->deleteLater();
                         if (call->isError())
                             refused();
                     });
#endif
}

bool QtOsServices::startProgram(const std::string& path)
{
    // The path is the program itself, with no arguments: no shell reads it.
    return QProcess::startDetached(qText(path), {});
}

bool QtOsServices::fileExists(const std::string& path)
{
    // A program file: a folder of that name does not count.
    return QFileInfo(qText(path)).isFile();
}

OsServices::PrintResult QtOsServices::printText(const ui::Form* owner, const std::string& text,
                                                const std::string& selection)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("FerroWinder address"));  // the print job's name
    const bool hasSelection = !selection.empty();
    printer.setPrintRange(hasSelection ? QPrinter::Selection : QPrinter::AllPages);
    // Without an installed printer the dialog offers only a PDF file, and not
    // every platform's dialog proposes a name for it (outside X11 it shows a bare folder).
    if (QPrinterInfo::availablePrinterNames().isEmpty())
        printer.setOutputFileName(QDir::home().filePath(printer.docName() + QStringLiteral(".pdf")));
    QPrintDialog dialog(&printer, window(owner));
    dialog.setOption(QAbstractPrintDialog::PrintSelection, hasSelection);
    if (dialog.exec() != QDialog::Accepted)
        return PrintResult::Cancelled;
    const bool selectionOnly = hasSelection && printer.printRange() == QPrinter::Selection;
    return printPlainText(qText(selectionOnly ? selection : text), printer) ? PrintResult::Printed
                                                                           : PrintResult::Failed;
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
