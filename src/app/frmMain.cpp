#include "app/frmMain.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>

#include "app/AppWindows.h"
#include "app/ClassicLook.h"
#include "info/Branding.h"
#include "tuning/Backup.h"

using namespace ferro;

namespace {

const QColor kGrey(128, 128, 128);
const QColor kYellow(255, 255, 0);

QString productDescription()
{
    return QStringLiteral(
        "FerroWinder works by editing your system's registry,\r\n"
        "and settings to the most efficient configuration for your computer,\r\n"
        "and internet connection. Works for Dial-up/DSL/Cable/Satellite.\r\n"
        "You will notice a dramatic difference, guaranteed! And it's free!");
}

QString helpText()
{
    return QStringLiteral("           Everything in this program, one should find\r\n"
                          "      self-explanatory. If you have any specific questions\r\n"
                          "or concerns, E-Mail me for support: ") +
           QString::fromUtf8(kSupportEmail);
}

}  // namespace

frmMain::frmMain(AppWindows& windows, QWidget* parent)
    : QMainWindow(parent), windows_(windows)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(kApplicationTitle);
    setWindowIcon(applicationIcon());
    // Fixed border: minimise and the system menu, no maximise.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFont(dialogFont());
    createControls();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void frmMain::createControls()
{
    QMenuBar* menu = menuBar();
    QAction* about = menu->addAction(QStringLiteral("&About"), this, &frmMain::About_Click);
    about->setObjectName(QStringLiteral("About"));
    QAction* nice = menu->addAction(QStringLiteral("&I Am Nice"), this, &frmMain::Nice_Click);
    nice->setObjectName(QStringLiteral("Nice"));
    QAction* help = menu->addAction(QStringLiteral("&Help"), this, &frmMain::Help_Click);
    help->setObjectName(QStringLiteral("Help"));

    auto* client = new QWidget(this);
    client->setFixedSize(px(4275), px(2880));
    // The hint line and the notice frame take their yellow on grey from here.
    QPalette yellowOnGrey = client->palette();
    yellowOnGrey.setColor(QPalette::Window, kGrey);
    yellowOnGrey.setColor(QPalette::WindowText, kYellow);
    client->setPalette(yellowOnGrey);
    client->setAutoFillBackground(true);
    setCentralWidget(client);

    auto button = [client](const char* name, const char* caption, QRect where) {
        auto* b = new QPushButton(QString::fromLatin1(caption), client);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(where);
        return b;
    };
    // Created in tab order, so the focus starts on cmdBoost.
    cmdBoost = button("cmdBoost", "Boost Connection", twipsRect(120, 240, 1575, 495));
    cmdRestore = button("cmdRestore", "Restore Registry", twipsRect(1920, 240, 1455, 495));
    cmdExit = button("cmdExit", "Exit", twipsRect(3600, 240, 495, 495));
    cmdExit->setToolTip(QStringLiteral("Exit program with no changes."));
    connect(cmdBoost, &QPushButton::clicked, this, &frmMain::cmdBoost_Click);
    connect(cmdRestore, &QPushButton::clicked, this, &frmMain::cmdRestore_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmMain::cmdExit_Click);
    for (QPushButton* b : {cmdBoost, cmdRestore, cmdExit}) {
        b->setMouseTracking(true);
        b->installEventFilter(this);
    }

    Label1 = new QLabel(client);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(twipsRect(120, 2280, 3975, 375));

    auto* Frame1 = new QGroupBox(QString::fromUtf8(kMakerNotice), client);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(twipsRect(960, 960, 2175, 1095));
    // A classic frame: the caption sits on the etched top border line.
    Frame1->setStyleSheet(QStringLiteral(
        "QGroupBox#Frame1 { color: rgb(255,255,0);"
        " border: 2px groove rgb(192,192,192); margin-top: 6px; }"
        "QGroupBox#Frame1::title { subcontrol-origin: margin; left: 7px; padding: 0 2px;"
        " background: rgb(128,128,128); }"));

    auto* Picture2 = new QLabel(Frame1);
    Picture2->setObjectName(QStringLiteral("Picture2"));
    const QPixmap logo(QStringLiteral(":/logo.png"));
    Picture2->setPixmap(logo);
    // Sized to its picture.
    Picture2->setGeometry(QRect(twipsRect(480, 240, 0, 0).topLeft(), logo.size()));

    cmdBoost->setFocus();
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove) {
        if (watched == cmdBoost)
            cmdBoost_MouseMove();
        else if (watched == cmdRestore)
            cmdRestore_MouseMove();
        else if (watched == cmdExit)
            cmdExit_MouseMove();
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::closeEvent(QCloseEvent* event)
{
    // Closed by the user from the title bar: the whole program ends. Any other
    // close (the system shutting down) proceeds as usual.
    if (event->spontaneous())
        windows_.endNow();
    event->accept();
}

void frmMain::cmdBoost_Click()
{
    windows_.showBoost();
    windows_.context().os.beep();
}

void frmMain::cmdRestore_Click()
{
    OsServices& os = windows_.context().os;
    const MsgAnswer answer =
        os.messageBox(this, QStringLiteral("Are you sure you want to restore your registry to previous settings?"),
                      kApplicationTitle, MsgButtons::YesNo, MsgIcon::None, MsgAnswer::Yes);
    if (answer != MsgAnswer::Yes)
        return;
    const RestoreResult result = restoreRegistry(windows_.context().registry, windows_.context().programFolder);
    if (result.ok())
        os.messageBox(this, QStringLiteral("Your registry has been restored."), QStringLiteral("Success"),
                      MsgButtons::Ok, MsgIcon::Information);
    else
        os.messageBox(this, QString::fromStdString(restoreFailureText(result)), kApplicationTitle, MsgButtons::Ok,
                      MsgIcon::Warning);
}

void frmMain::cmdExit_Click()
{
    windows_.endNow();
}

void frmMain::cmdBoost_MouseMove()
{
    Label1->setText(QStringLiteral("Proceed to next step (no changes yet)."));
}

void frmMain::cmdRestore_MouseMove()
{
    Label1->setText(QStringLiteral("Restore registry from backup (if one was made)."));
}

void frmMain::cmdExit_MouseMove()
{
    Label1->setText(QStringLiteral("Exit program without any changes to your system."));
}

void frmMain::About_Click()
{
    windows_.context().os.messageBox(this, productDescription(), kApplicationTitle, MsgButtons::Ok, MsgIcon::None);
}

void frmMain::Nice_Click()
{
    windows_.showAbout();
    hide();
}

void frmMain::Help_Click()
{
    windows_.context().os.messageBox(this, helpText(), kApplicationTitle, MsgButtons::Ok, MsgIcon::Information);
}
