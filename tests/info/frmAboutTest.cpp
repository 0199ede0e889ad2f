// The About window: its texts, OK, the system information tool and printing
// the address.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include "app/AppTestSupport.h"
#include "app/frmMain.h"
#include "info/frmAbout.h"
#include "platform/QtOsServices.h"
#include "registry/modRegistry.h"

namespace ferro::test {
namespace {

const char* const kFirstKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const char* const kSecondKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const QString kUnavailable = "System Information Is Unavailable At This Time";

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

const QStringList kAddressLines{"Hollowmere", "P.O. Box 482", "Wrenfield", "WR4 2RD"};

class AboutTest : public AppTest {
protected:
    frmAbout& openAbout()
    {
        windows->showMain();
        return windows->showAbout();
    }

    void storeString(const char* key, const char* name, const std::string& text, bool withNul = true)
    {
        Bytes data(text.begin(), text.end());
        if (withNul)
            data.push_back(0);
        ASSERT_EQ(writeValue(*store, {RootKey::LocalMachine, key, name}, kRegSz, data), kStatusOk);
    }

    void clickSystemInfo() { control<QPushButton>(&openAbout(), "cmdSysInfo")->click(); }

    void expectUnavailable()
    {
        ASSERT_EQ(os.boxes.size(), 1u);
        EXPECT_EQ(os.boxes[0].text, kUnavailable);
        EXPECT_EQ(os.boxes[0].caption, "FerroWinder");
        EXPECT_EQ(os.boxes[0].buttons, MsgButtons::Ok);
        EXPECT_EQ(os.boxes[0].icon, MsgIcon::None);
    }

    static QString toolIn(const QString& folder)
    {
        return QDir::toNativeSeparators(QDir(folder).filePath("MSINFO32.EXE"));
    }
};

TEST_F(AboutTest, ShowsTheDonationRequestAndAddress)
{
    frmAbout& about = openAbout();
    EXPECT_EQ(about.windowTitle(), "About FerroWind");
    EXPECT_EQ(about.size(), QSize(382, 237));  // 5730 x 3555 twips
    EXPECT_FALSE(about.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(about.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(control<QLabel>(&about, "lblTitle")->text(),
              "You nice people who realize that programming takes a great deal of time and effort, and wish "
              "to send a small/large donation in appreciation of boosted internet speed may send said "
              "donation, or even a post card to:");
    EXPECT_EQ(control<QTextEdit>(&about, "RichTextBox1")->toPlainText(),
              "Hollowmere\nP.O. Box 482\nWrenfield\nWR4 2RD");
    EXPECT_EQ(control<QPushButton>(&about, "cmdOK")->text(), "OK");
    EXPECT_TRUE(control<QPushButton>(&about, "cmdOK")->isDefault());
    EXPECT_EQ(control<QPushButton>(&about, "cmdSysInfo")->text(), "&System Info...");
    EXPECT_EQ(control<QPushButton>(&about, "Command1")->text(), "Print Address");
    EXPECT_EQ(about.focusWidget(), control<QPushButton>(&about, "cmdOK"));
}

TEST_F(AboutTest, EveryControlShowsAllOfItsText)
{
    frmAbout& about = openAbout();
    for (QWidget* c : about.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        EXPECT_TRUE(about.rect().contains(c->geometry())) << c->objectName().toStdString();
    for (const char* name : {"cmdOK", "cmdSysInfo", "Command1"}) {
        auto* b = control<QPushButton>(&about, name);
        EXPECT_LE(b->fontMetrics().horizontalAdvance(b->text()) + 8, b->width()) << name;
    }
    auto* title = control<QLabel>(&about, "lblTitle");
    EXPECT_LE(title->heightForWidth(title->width()), title->height());
    auto* address = control<QTextEdit>(&about, "RichTextBox1");
    EXPECT_LE(address->document()->size().height(), address->viewport()->height());
    EXPECT_LE(address->document()->idealWidth(), address->viewport()->width());
}

TEST_F(AboutTest, LoadingHidesTheMainWindow)
{
    frmMain& main = windows->showMain();
    windows->showAbout();
    EXPECT_FALSE(main.isVisible());
}

TEST_F(AboutTest, EnterAndEscapeMeanOk)
{
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        frmAbout& about = openAbout();
        QTest::keyClick(control<QTextEdit>(&about, "RichTextBox1"), key);
        finishDeletes();
        EXPECT_EQ(windows->about(), nullptr) << key;
        EXPECT_TRUE(windows->main()->isVisible()) << key;
    }
}

TEST_F(AboutTest, SystemInfoStartsTheToolNamedByTheFirstKeyWithoutCheckingIt)
{
    storeString(kFirstKey, "PATH", "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\msinfo32.exe");
    storeString(kSecondKey, "MSINFO", "C:\\Elsewhere");
    clickSystemInfo();
    EXPECT_EQ(os.startedPrograms,
              QStringList{"C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\msinfo32.exe"});
    EXPECT_TRUE(os.boxes.empty());
}

TEST_F(AboutTest, SystemInfoThatCannotStartSaysSo)
{
    storeString(kFirstKey, "PATH", "/nowhere/msinfo32");
    os.startSucceeds = false;
    clickSystemInfo();
    EXPECT_EQ(os.startedPrograms, QStringList{"/nowhere/msinfo32"});
    expectUnavailable();
}

TEST_F(AboutTest, SystemInfoFromTheSecondKeyNeedsTheToolInItsFolder)
{
    const std::string folder = this->folder() + "/MSInfo";
    storeString(kSecondKey, "MSINFO", folder);
    clickSystemInfo();
    EXPECT_TRUE(os.startedPrograms.isEmpty());
    expectUnavailable();

    os.boxes.clear();
    os.existingFiles.insert(toolIn(QString::fromStdString(folder)));
    control<QPushButton>(windows->about(), "cmdSysInfo")->click();
    EXPECT_EQ(os.startedPrograms, QStringList{toolIn(QString::fromStdString(folder))});
    EXPECT_TRUE(os.boxes.empty());
}

TEST_F(AboutTest, SystemInfoDropsOneStoredNulAndNothingElse)
{
    storeString(kFirstKey, "PATH", "/opt/tool", /*withNul=*/false);
    clickSystemInfo();
    storeString(kFirstKey, "PATH", std::string("/opt/tool") + '\0', /*withNul=*/true);
    control<QPushButton>(windows->about(), "cmdSysInfo")->click();
    ASSERT_EQ(os.startedPrograms.size(), 2);
    EXPECT_EQ(os.startedPrograms[0], "/opt/tool");
    EXPECT_EQ(os.startedPrograms[1].toStdString(), std::string("/opt/tool") + '\0');
}

TEST_F(AboutTest, SystemInfoIsUnavailableWithoutEitherKeyOrWithAnEmptyValue)
{
    clickSystemInfo();
    expectUnavailable();

    os.boxes.clear();
    ASSERT_EQ(writeValue(*store, {RootKey::LocalMachine, kFirstKey, "PATH"}, kRegSz, {}), kStatusOk);
    control<QPushButton>(windows->about(), "cmdSysInfo")->click();
    EXPECT_TRUE(os.startedPrograms.isEmpty());
    expectUnavailable();
}

TEST_F(AboutTest, CancellingThePrintDialogSaysSoAndPrintsNothing)
{
    os.printDialogAccepted = false;
    control<QPushButton>(&openAbout(), "Command1")->click();
    EXPECT_EQ(os.printDialogs, 1);
    EXPECT_TRUE(os.printedTexts.isEmpty());
    ASSERT_EQ(os.boxes.size(), 1u);
    EXPECT_EQ(os.boxes[0].text, "Dialog Cancelled");
    EXPECT_EQ(os.boxes[0].caption, "FerroWinder");
    EXPECT_EQ(os.boxes[0].icon, MsgIcon::None);
}

TEST_F(AboutTest, PrintsTheWholeAddressOrTheSelection)
{
    frmAbout& about = openAbout();
    auto* address = control<QTextEdit>(&about, "RichTextBox1");
    control<QPushButton>(&about, "Command1")->click();
    EXPECT_FALSE(os.lastDialogHadSelection);

    QTextCursor cursor = address->textCursor();
    cursor.setPosition(0);
    cursor.movePosition(QTextCursor::EndOfWord, QTextCursor::KeepAnchor);
    address->setTextCursor(cursor);
    control<QPushButton>(&about, "Command1")->click();
    EXPECT_TRUE(os.lastDialogHadSelection);

    EXPECT_EQ(os.printedTexts, QStringList({address->toPlainText(), "Hollowmere"}));
    EXPECT_TRUE(os.boxes.empty());
}

TEST_F(AboutTest, PrintingToAPdfFileWritesTheAddress)
{
    const QString pdf = dir_.filePath("address.pdf");
    os.printToPdf = pdf;
    frmAbout& about = openAbout();
    control<QPushButton>(&about, "Command1")->click();
    EXPECT_EQ(pdfLines(pdf), kAddressLines);  // the address and nothing else, no page number

    auto* address = control<QTextEdit>(&about, "RichTextBox1");
    QTextCursor cursor = address->textCursor();
    cursor.setPosition(0);
    cursor.movePosition(QTextCursor::EndOfWord, QTextCursor::KeepAnchor);
    address->setTextCursor(cursor);
    control<QPushButton>(&about, "Command1")->click();
    EXPECT_EQ(pdfLines(pdf), QStringList{"Hollowmere"});
}

TEST_F(AboutTest, WithoutAPrinterTheSystemPrintDialogPrintsToAPdfFile)
{
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        GTEST_SKIP() << "a printer is installed; this is about machines without one";
    // The dialog proposes a file in the home folder: a temporary one here.
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", dir_.path().toLocal8Bit());
    QtOsServices system;
    AppContext context{system, *store, folder()};
    context.endProgram = [] {};
    AppWindows real(std::move(context));
    real.showMain();
    frmAbout& about = real.showAbout();

    QStringList offered;
    QTimer::singleShot(0, [&] {
        QPrintDialog* dialog = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QPrintDialog*>(w); d && d->isVisible())
                dialog = d;
        ASSERT_NE(dialog, nullptr);
        auto* printers = dialog->findChild<QComboBox*>("printers");
        for (int i = 0; printers && i < printers->count(); ++i)
            offered << printers->itemText(i);
        dialog->accept();  // "Print"
    });
    control<QPushButton>(&about, "Command1")->click();
    qputenv("HOME", home);

    EXPECT_EQ(offered, QStringList{"Print to File (PDF)"});
    EXPECT_EQ(pdfLines(dir_.filePath("FerroWinder address.pdf")), kAddressLines);
}

}  // namespace
}  // namespace ferro::test
