// The real OS services, where they can be tried without touching the system
// (no restart, no browser, no printer).
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QThread>
#include <QTimer>

#include <functional>

#include "platform/QtOsServices.h"
#include "ui/FakeOsServices.h"

namespace ferro {
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
};

// Notes what the next box shows, then presses its default button.
void pressDefaultOfNextBox(SeenBox& seen)
{
    whenModal([&seen](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        seen = {box->windowTitle(), box->text(), box->standardButtons(), box->icon(),
                box->standardButton(box->defaultButton())};
        box->defaultButton()->click();
    });
}

TEST(QtOsServices, MessageBoxesShowTheirTextCaptionButtonsIconAndDefault)
{
    QtOsServices os;
    SeenBox seen;
    pressDefaultOfNextBox(seen);
    EXPECT_EQ(os.messageBox(nullptr, "Make sure.\r\nWindows will restart.", "Ferrowinder",
                            MsgButtons::Ok, MsgIcon::Information),
              MsgAnswer::Ok);
    EXPECT_EQ(seen.caption, "Ferrowinder");
    EXPECT_EQ(seen.text, "Make sure.\r\nWindows will restart.");
    EXPECT_EQ(seen.buttons, QMessageBox::Ok);
    EXPECT_EQ(seen.icon, QMessageBox::Information);

    for (MsgAnswer defaultAnswer : {MsgAnswer::Yes, MsgAnswer::No}) {
        pressDefaultOfNextBox(seen);
        EXPECT_EQ(os.messageBox(nullptr, "Go on?", "FerroWinder", MsgButtons::YesNo, MsgIcon::Warning,
                                defaultAnswer),
                  defaultAnswer);
        EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);
        EXPECT_EQ(seen.icon, QMessageBox::Warning);
        EXPECT_EQ(seen.defaultButton, defaultAnswer == MsgAnswer::Yes ? QMessageBox::Yes : QMessageBox::No);
    }
}

TEST(QtOsServices, TheRegistryLayerSpeaksInPlainBoxesWithTheApplicationTitle)
{
    FakeOsServices os;
    registryMessageSink(os)("RegOpenKey error - 2");
    ASSERT_EQ(os.boxes.size(), 1u);
    EXPECT_EQ(os.boxes[0].text, "RegOpenKey error - 2");
    EXPECT_EQ(os.boxes[0].caption, "FerroWinder");
    EXPECT_EQ(os.boxes[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(os.boxes[0].icon, MsgIcon::None);
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
    EXPECT_TRUE(os.fileExists(program));
    EXPECT_FALSE(os.fileExists(ran));
    ASSERT_TRUE(QDir(dir.path()).mkdir("MSINFO32.EXE"));
    EXPECT_FALSE(os.fileExists(dir.filePath("MSINFO32.EXE")));  // a folder is no program

    EXPECT_TRUE(os.startProgram(program));  // a blank in the path is part of the name
    for (int i = 0; i < 500 && !QFile::exists(ran); ++i)
        QThread::msleep(10);
    EXPECT_TRUE(os.fileExists(ran));

    // A command line is no path: nothing reads it as one.
    const QString shellMade = dir.filePath("made-by-a-shell");
    EXPECT_FALSE(os.startProgram("touch " + shellMade));
    QThread::msleep(100);
    EXPECT_FALSE(QFile::exists(shellMade));
}

TEST(QtOsServices, ThePrintDialogOffersTheSelectionAndPrintingKeepsToIt)
{
    QtOsServices os;
    QPrinter printer;
    QAbstractPrintDialog::PrintRange offered = QAbstractPrintDialog::AllPages;
    bool selectionAllowed = false;
    whenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QPrintDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        offered = dialog->printRange();
        selectionAllowed = dialog->testOption(QAbstractPrintDialog::PrintSelection);
        dialog->reject();
    });
    EXPECT_FALSE(os.printDialog(nullptr, printer, true));
    EXPECT_EQ(offered, QAbstractPrintDialog::Selection);
    EXPECT_TRUE(selectionAllowed);

    QTemporaryDir dir;
    QTextEdit box;
    box.setPlainText("Not this line.\nOnly this line.");
    QTextCursor cursor = box.document()->find("Only this line.");
    box.setTextCursor(cursor);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("out.pdf"));
    printer.setPrintRange(QPrinter::Selection);
    os.printRichText(box, printer);
    QProcess pdfToText;
    pdfToText.start("pdftotext", {dir.filePath("out.pdf"), "-"});
    ASSERT_TRUE(pdfToText.waitForFinished()) << "pdftotext (poppler-utils) is needed";
    const QString printed = QString::fromUtf8(pdfToText.readAllStandardOutput());
    EXPECT_TRUE(printed.contains("Only this line.")) << printed.toStdString();
    EXPECT_FALSE(printed.contains("Not this line.")) << printed.toStdString();
}

}  // namespace
}  // namespace ferro
