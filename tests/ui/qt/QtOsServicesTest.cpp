// The real OS services of the Qt program, where they can be tried without
// touching the system (no restart, no browser, no printer).
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <functional>

#include "ui/qt/QtOsServices.h"
#include "ui/qt/QtPrinting.h"

namespace ferro::qt {
namespace {

// Runs `inspect` on the modal window once it is up.
void whenModal(std::function<void(QWidget*)> inspect)
{
    QTimer::singleShot(0, [inspect] { inspect(QApplication::activeModalWidget()); });
}

struct SeenBox {
    QString caption, text;
    QMessageBox::StandardButtons buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    bool windowIcon = false;
};

// Notes what the next box shows, then presses its default button.
void pressDefaultOfNextBox(SeenBox& seen)
{
    whenModal([&seen](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        seen = {box->windowTitle(), box->text(), box->standardButtons(), box->icon(),
                box->standardButton(box->defaultButton()), !box->windowIcon().isNull()};
        box->defaultButton()->click();
    });
}

// The lines of text in a PDF file, as pdftotext (poppler-utils) reads them.
QStringList pdfLines(const QString& pdf)
{
    QProcess pdftotext;
    pdftotext.start("pdftotext", {"-layout", pdf, "-"});
    EXPECT_TRUE(pdftotext.waitForFinished(30000)) << "pdftotext (poppler-utils) is needed";
    QStringList lines;
    for (const QString& line : QString::fromUtf8(pdftotext.readAllStandardOutput()).split('\n'))
        if (!line.trimmed().isEmpty())
            lines << line.trimmed();
    return lines;
}

TEST(QtOsServices, MessageBoxesShowTheirTextCaptionButtonsIconAndDefault)
{
    QtOsServices os;
    SeenBox seen;
    pressDefaultOfNextBox(seen);
    EXPECT_EQ(os.messageBox(nullptr, "Make sure.\r\nWindows will restart.", "Ferrowinder", MsgButtons::Ok,
                            MsgIcon::Information),
              MsgAnswer::Ok);
    EXPECT_EQ(seen.caption, "Ferrowinder");
    EXPECT_EQ(seen.text, "Make sure.\r\nWindows will restart.");
    EXPECT_EQ(seen.buttons, QMessageBox::Ok);
    EXPECT_EQ(seen.icon, QMessageBox::Information);
    EXPECT_TRUE(seen.windowIcon) << "a box of no window has the program's icon";

    for (MsgAnswer defaultAnswer : {MsgAnswer::Yes, MsgAnswer::No}) {
        pressDefaultOfNextBox(seen);
        EXPECT_EQ(os.messageBox(nullptr, "Go on?", "FerroWinder", MsgButtons::YesNo, MsgIcon::Warning, defaultAnswer),
                  defaultAnswer);
        EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);
        EXPECT_EQ(seen.icon, QMessageBox::Warning);
        EXPECT_EQ(seen.defaultButton, defaultAnswer == MsgAnswer::Yes ? QMessageBox::Yes : QMessageBox::No);
    }
}

TEST(QtOsServices, ARestartThatCannotBeAskedForIsRefusedLaterNotWhileAsking)
{
    // No system bus to ask: the refusal still comes as an answer, from the event loop.
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/ferro-test-bus");
    QtOsServices os;
    int refusals = 0;
    os.requestRestart([&] { ++refusals; });
    EXPECT_EQ(refusals, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return refusals == 1; }, 5000));
}

TEST(QtOsServices, ProgramsStartByTheirPathAloneAndFilesAreFound)
{
    QtOsServices os;
    QTemporaryDir dir;
    const QString ran = dir.filePath("ran");
    const QString program = dir.filePath("a tool");
    {
        QFile script(program);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("#!/bin/sh\ntouch '%1'\n").arg(ran).toUtf8());
    }
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_TRUE(os.fileExists(program.toStdString()));
    EXPECT_FALSE(os.fileExists(ran.toStdString()));
    ASSERT_TRUE(QDir(dir.path()).mkdir("MSINFO32.EXE"));
    EXPECT_FALSE(os.fileExists(dir.filePath("MSINFO32.EXE").toStdString()));  // a folder is no program

    EXPECT_TRUE(os.startProgram(program.toStdString()));  // a blank in the path is part of the name
    for (int i = 0; i < 500 && !QFile::exists(ran); ++i)
        QThread::msleep(10);
    EXPECT_TRUE(QFile::exists(ran));

    // A command line is no path: nothing reads it as one.
    const QString shellMade = dir.filePath("made-by-a-shell");
    EXPECT_FALSE(os.startProgram(("touch " + shellMade).toStdString()));
    QThread::msleep(100);
    EXPECT_FALSE(QFile::exists(shellMade));
}

TEST(QtOsServices, ThePrintDialogOffersTheSelectionAndACancelIsReported)
{
    QtOsServices os;
    QAbstractPrintDialog::PrintRange offered = QAbstractPrintDialog::AllPages;
    bool selectionAllowed = false;
    whenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QPrintDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        offered = dialog->printRange();
        selectionAllowed = dialog->testOption(QAbstractPrintDialog::PrintSelection);
        dialog->reject();
    });
    EXPECT_EQ(os.printText(nullptr, "Not this line.\nOnly this line.", "Only this line."),
              OsServices::PrintResult::Cancelled);
    EXPECT_EQ(offered, QAbstractPrintDialog::Selection);
    EXPECT_TRUE(selectionAllowed);

    QTemporaryDir dir;
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("out.pdf"));
    ASSERT_TRUE(printPlainText("Hollowmere\nP.O. Box 482", printer));
    EXPECT_EQ(pdfLines(dir.filePath("out.pdf")), QStringList({"Hollowmere", "P.O. Box 482"}))
        << "the text and nothing else, no page number";
}

TEST(QtOsServices, WithoutAPrinterTheSystemPrintDialogPrintsTheSelectionToANamedPdfFile)
{
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        GTEST_SKIP() << "a printer is installed; this is about machines without one";
    // The dialog proposes a file in the home folder: a temporary one here.
    QTemporaryDir home;
    const QByteArray realHome = qgetenv("HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    QStringList offered;
    whenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QPrintDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        auto* printers = dialog->findChild<QComboBox*>("printers");
        for (int i = 0; printers && i < printers->count(); ++i)
            offered << printers->itemText(i);
        dialog->accept();  // "Print"
    });
    QtOsServices os;
    const auto result = os.printText(nullptr, "Hollowmere\nP.O. Box 482\nWrenfield\nWR4 2RD", "Hollowmere");
    qputenv("HOME", realHome);
    EXPECT_EQ(result, OsServices::PrintResult::Printed);
    EXPECT_EQ(offered, QStringList{"Print to File (PDF)"});
    EXPECT_EQ(pdfLines(home.filePath("FerroWinder address.pdf")), QStringList{"Hollowmere"});
}

}  // namespace
}  // namespace ferro::qt
