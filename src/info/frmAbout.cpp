#include "info/frmAbout.h"

#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QTextEdit>

#include <stdexcept>

#include "app/AppWindows.h"
#include "app/ClassicLook.h"
#include "app/frmMain.h"
#include "info/Branding.h"

using namespace ferro;

namespace {

// A value that has no data at all cannot be read as text.
struct NoValueData : std::runtime_error {
    NoValueData() : std::runtime_error("the value has no data") {}
};

QString donationAddressHtml()
{
    QStringList lines;
    for (const char* line : kDonationAddressLines)
        lines << QString::fromUtf8(line).toHtmlEscaped();
    return QStringLiteral("<p style=\"margin:0\">") + lines.join(QStringLiteral("<br>")) + QStringLiteral("</p>");
}

}  // namespace

frmAbout::frmAbout(AppWindows& windows, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      windows_(windows)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About FerroWind"));
    setWindowIcon(applicationIcon());
    setFont(dialogFont());
    setFixedSize(px(5730), px(3555));
    createControls();
    Form_Load();
}

void frmAbout::createControls()
{
    auto* picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setPixmap(applicationIcon().pixmap(32, 32));
    picIcon->setGeometry(px(240), px(240), 32, 32);  // sized to its picture

    auto* lblTitle = new QLabel(
        QStringLiteral("You nice people who realize that programming takes a great deal of time and effort, "
                       "and wish to send a small/large donation in appreciation of boosted internet speed may "
                       "send said donation, or even a post card to:"),
        this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setWordWrap(true);
    lblTitle->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette black = lblTitle->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    lblTitle->setPalette(black);
    lblTitle->setGeometry(twipsRect(1050, 240, 4245, 840));

    RichTextBox1 = new QTextEdit(this);
    RichTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    RichTextBox1->setFont(classicFont(QStringLiteral("MS Sans Serif"), 8.5));
    RichTextBox1->document()->setDefaultFont(RichTextBox1->font());
    RichTextBox1->setHtml(donationAddressHtml());
    // Read but not edited: the text can be selected, to print a part of it.
    RichTextBox1->setReadOnly(true);
    RichTextBox1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    RichTextBox1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    RichTextBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    RichTextBox1->setGeometry(twipsRect(2040, 1200, 1575, 1095));

    auto button = [this](const char* name, const QString& caption, QRect where) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(where);
        // Enter presses the button that has the focus; elsewhere it means OK.
        b->setAutoDefault(true);
        return b;
    };
    cmdOK = button("cmdOK", QStringLiteral("OK"), twipsRect(240, 2760, 1380, 345));
    cmdOK->setDefault(true);
    cmdSysInfo = button("cmdSysInfo", QStringLiteral("&System Info..."), twipsRect(2280, 2760, 1365, 345));
    Command1 = button("Command1", QStringLiteral("Print Address"), twipsRect(4200, 2760, 1215, 375));
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
    connect(Command1, &QPushButton::clicked, this, &frmAbout::Command1_Click);

    setTabOrder(cmdOK, cmdSysInfo);
    setTabOrder(cmdSysInfo, Command1);
    setTabOrder(Command1, RichTextBox1);
    cmdOK->setFocus();
}

void frmAbout::paintEvent(QPaintEvent*)
{
    // An etched separator above the buttons: a grey line over a white one.
    QPainter painter(this);
    painter.fillRect(QRect(QPoint(px(90), px(2445)), QPoint(px(5654), px(2445))), QColor(128, 128, 128));
    painter.fillRect(QRect(QPoint(px(105), px(2460)), QPoint(px(5654), px(2460) + 1)), Qt::white);
}

void frmAbout::Form_Load()
{
    if (frmMain* main = windows_.main())
        main->hide();
}

void frmAbout::cmdOK_Click()
{
    windows_.showMain();
    close();
}

void frmAbout::closeEvent(QCloseEvent* event)
{
    // Closed from the title bar: the main window comes back, as with OK, so
    // the program is never left without a visible window.
    if (event->spontaneous())
        windows_.showMain();
    event->accept();
}

void frmAbout::keyPressEvent(QKeyEvent* event)
{
    // OK is both the default (Enter) and the cancel (Escape) button.
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        cmdOK->click();
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void frmAbout::cmdSysInfo_Click()
{
    StartSysInfo();
}

void frmAbout::StartSysInfo()
{
    OsServices& os = windows_.context().os;
    try {
        std::string toolPath;
        if (!GetKeyValue(RootKey::LocalMachine, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", toolPath)) {
            if (!GetKeyValue(RootKey::LocalMachine, "SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO",
                             toolPath))
                throw std::runtime_error("no tool path");
            const QString tool =
                QDir::toNativeSeparators(QDir(QString::fromLocal8Bit(toolPath)).filePath(QStringLiteral("MSINFO32.EXE")));
            if (!os.fileExists(tool))
                throw std::runtime_error("no tool in the folder");
            toolPath = tool.toLocal8Bit().toStdString();
        }
        if (os.startProgram(QString::fromLocal8Bit(toolPath)))
            return;
    } catch (const std::exception&) {
        // Every failure ends in the one message below.
    }
    os.messageBox(this, QStringLiteral("System Information Is Unavailable At This Time"), kApplicationTitle, MsgButtons::Ok,
                  MsgIcon::None);
}

bool frmAbout::GetKeyValue(RootKey KeyRoot, const std::string& KeyName, const std::string& SubKeyRef,
                           std::string& KeyVal)
{
    RegistryBackend& registry = windows_.context().registry;
    KeyGuard key(registry);
    if (registry.openKey(KeyRoot, KeyName, kKeyReadControlAccess, key.handle) != kStatusOk) {
        KeyVal.clear();
        return false;
    }
    std::uint32_t type = 0;
    Bytes data;
    if (registry.queryValue(key.handle, SubKeyRef, type, data) != kStatusOk) {
        KeyVal.clear();
        return false;
    }
    if (data.empty())
        throw NoValueData();
    // One terminating NUL is dropped when the data has one.
    const std::size_t length = data.back() == 0 ? data.size() - 1 : data.size();
    if (type == kRegSz) {
        KeyVal.assign(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(length));
    } else if (type == kRegDword && data.size() == 4) {
        const std::uint32_t number = data[0] | data[1] << 8 | data[2] << 16 | std::uint32_t(data[3]) << 24;
        KeyVal = std::to_string(number);
    }
    return true;
}

void frmAbout::Command1_Click()
{
    OsServices& os = windows_.context().os;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("FerroWinder address"));  // the print job's name
    if (!os.printDialog(this, printer, RichTextBox1->textCursor().hasSelection())) {
        os.messageBox(this, QStringLiteral("Dialog Cancelled"), kApplicationTitle, MsgButtons::Ok, MsgIcon::None);
        return;
    }
    os.printRichText(*RichTextBox1, printer);
}
